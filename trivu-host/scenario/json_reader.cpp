// The checks run inside the library's event parser (SAX) in front of its own
// document builder, so a fault stops the parse where it is found and its
// JSON path is known.
#include "trivu-host/scenario/json_reader.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "trivu-host/base/text.h"

namespace standin {
namespace {

bool isPlainKey(std::string_view key) {
    if (key.empty() || std::isdigit(static_cast<unsigned char>(key[0]))) return false;
    return std::all_of(key.begin(), key.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

// A literal as a message shows it: a thousand digits help nobody.
std::string shortLiteral(const std::string& token) {
    constexpr size_t kShown = 24;
    if (token.size() <= kShown) return token;
    return token.substr(0, kShown) + "... (" + std::to_string(token.size()) + " characters)";
}

// A path hundreds of levels deep is cut after its first levels, which are
// the ones that say where in the scenario it is.
std::string shortPath(const std::string& path) {
    constexpr size_t kShown = 60;
    if (path.size() <= kShown) return path;
    return path.substr(0, kShown) + "...";
}

// The library's messages start with its own tag, "[json.exception.parse_error.101] ".
std::string withoutLibraryTag(const std::string& message) {
    if (message.starts_with("[json.exception.")) {
        size_t end = message.find("] ");
        if (end != std::string::npos) return message.substr(end + 2);
    }
    return message;
}

class CheckingBuilder {
public:
    using number_integer_t = Json::number_integer_t;
    using number_unsigned_t = Json::number_unsigned_t;
    using number_float_t = Json::number_float_t;
    using string_t = Json::string_t;
    using binary_t = Json::binary_t;

    CheckingBuilder(Json& root, JsonFault& fault) : dom_(root, false), fault_(fault) {}

    bool null() { return value() && dom_.null(); }
    bool boolean(bool v) { return value() && dom_.boolean(v); }
    bool number_integer(number_integer_t v) { return value() && dom_.number_integer(v); }
    bool number_unsigned(number_unsigned_t v) { return value() && dom_.number_unsigned(v); }
    bool number_float(number_float_t v, const string_t& s) { return value() && dom_.number_float(v, s); }
    bool string(string_t& v) { return value() && dom_.string(v); }
    bool binary(binary_t& v) { return value() && dom_.binary(v); }

    bool start_object(size_t n) { return open(false) && dom_.start_object(n); }
    bool end_object() { return close() && dom_.end_object(); }
    bool start_array(size_t n) { return open(true) && dom_.start_array(n); }
    bool end_array() { return close() && dom_.end_array(); }

    bool key(string_t& k) {
        Level& level = levels_.back();
        if (std::find(level.keys.begin(), level.keys.end(), k) != level.keys.end())
            return refuse(containerPath(levels_.size() - 1), "key " + quoted(std::string_view(k)) + " given twice");
        level.keys.push_back(k);
        return dom_.key(k);
    }

    bool parse_error(size_t, const std::string& token, const nlohmann::detail::exception& error) {
        if (error.id == 406)  // number overflow: the lexer read a literal beyond a double
            return refuse(nextValuePath(), shortLiteral(token) + " is beyond the range of a number");
        fault_.syntax = true;
        fault_.what = withoutLibraryTag(error.what());
        return false;
    }

private:
    struct Level {
        bool array = false;
        size_t count = 0;               // elements begun so far (arrays)
        std::vector<std::string> keys;  // members so far (objects)
    };

    // Every value passes here first, so that each array knows its index.
    bool value() {
        if (!levels_.empty() && levels_.back().array) ++levels_.back().count;
        return true;
    }

    bool open(bool array) {
        if (levels_.size() >= kMaxJsonDepth)
            return refuse(shortPath(nextValuePath()), "nests deeper than " + std::to_string(kMaxJsonDepth) + " levels");
        value();
        levels_.push_back(Level{array, 0, {}});
        return true;
    }

    bool close() {
        levels_.pop_back();
        return true;
    }

    // The path of the container at levels_[depth]: each level above it adds
    // the element being read there.
    std::string containerPath(size_t depth) const {
        std::string out;
        for (size_t i = 0; i < depth; ++i) {
            const Level& level = levels_[i];
            out = level.array ? itemPath(out, level.count - 1) : memberPath(out, level.keys.back());
        }
        return out;
    }

    // The path of the value about to be read (the lexer reports a bad number
    // before the value is begun).
    std::string nextValuePath() const {
        if (levels_.empty()) return "";
        const Level& level = levels_.back();
        std::string parent = containerPath(levels_.size() - 1);
        if (level.array) return itemPath(parent, level.count);
        return level.keys.empty() ? parent : memberPath(parent, level.keys.back());
    }

    bool refuse(const std::string& at, const std::string& what) {
        fault_.path = at;
        fault_.what = what;
        return false;
    }

    nlohmann::detail::json_sax_dom_parser<Json> dom_;
    JsonFault& fault_;
    std::vector<Level> levels_;
};

}  // namespace

std::string memberPath(const std::string& path, std::string_view key) {
    if (!isPlainKey(key)) return path + "[" + quoted(key) + "]";
    return path.empty() ? std::string(key) : path + "." + std::string(key);
}

std::string itemPath(const std::string& path, size_t index) { return path + "[" + std::to_string(index) + "]"; }

std::optional<Json> readJson(std::string_view text, JsonFault* fault) {
    Json root;
    CheckingBuilder builder(root, *fault);
    if (!Json::sax_parse(text.begin(), text.end(), &builder)) return std::nullopt;
    return root;
}

}  // namespace standin

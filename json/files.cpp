#include "json/files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>
#include <vector>

#include "json/store.h"

namespace trivu {
namespace fs = std::filesystem;

namespace {

// ---- Paths ---------------------------------------------------------------------------

// The host's UTF-16 text becomes the platform's path form here (UTF-8 on
// Linux, UTF-16 on Windows). A lone surrogate cannot be converted.
std::optional<fs::path> toPath(std::u16string_view text) {
    try {
        return fs::path(std::u16string(text));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// ---- Parsing with a depth limit ------------------------------------------------------

// Builds the document from the parser's events, as the library's own DOM
// builder does, but refuses to open a container past kMaxJsonDepth: the
// library's dump, copy and MessagePack writer recurse once per level. An
// object's members are appended as they come, without a lookup each, and
// settled when it closes: a key given twice keeps its first place and takes
// its last value, as in the library's builder, and the index is built once.
class DocumentBuilder {
public:
    explicit DocumentBuilder(Json& root) : root_(root) {}

    bool null() { return add(nullptr); }
    bool boolean(bool value) { return add(value); }
    bool number_integer(Json::number_integer_t value) { return add(value); }
    bool number_unsigned(Json::number_unsigned_t value) { return add(value); }
    bool number_float(Json::number_float_t value, const std::string&) { return add(value); }
    bool string(std::string& value) { return add(std::move(value)); }
    bool binary(Json::binary_t& value) { return add(std::move(value)); }

    bool start_object(size_t) { return open(Json::value_t::object); }
    bool start_array(size_t) { return open(Json::value_t::array); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool key(std::string& key) {
        key_ = std::move(key);
        return true;
    }

    template <class Exception>
    bool parse_error(size_t, const std::string&, const Exception& error) {
        throw error;
    }

private:
    template <typename Value>
    Json* place(Value&& value) {
        if (stack_.empty()) {
            root_ = Json(std::forward<Value>(value));
            return &root_;
        }
        Json& top = *stack_.back();
        if (top.is_array()) {
            top.push_back(Json(std::forward<Value>(value)));
            return &top.back();
        }
        return &top.get_ref<Json::object_t&>().appendUnchecked(std::move(key_), Json(std::forward<Value>(value)));
    }

    template <typename Value>
    bool add(Value&& value) {
        place(std::forward<Value>(value));
        return true;
    }

    bool open(Json::value_t kind) {
        if (stack_.size() >= kMaxJsonDepth) throw DepthError();
        stack_.push_back(place(kind));
        return true;
    }

    bool close() {
        if (stack_.back()->is_object()) stack_.back()->get_ref<Json::object_t&>().settleAppended();
        stack_.pop_back();
        return true;
    }

    Json& root_;
    std::vector<Json*> stack_;  // the open containers, innermost last
    std::string key_;
};

}  // namespace

Json parseJsonText(std::string_view text) {
    Json document;
    DocumentBuilder builder(document);
    Json::sax_parse(text.begin(), text.end(), &builder, Json::input_format_t::json, /*strict=*/false,
                    /*ignore_comments=*/false);
    return document;
}

std::optional<std::string> readFileBytes(std::u16string_view path) {
    std::optional<fs::path> p = toPath(path);
    std::error_code error;
    if (!p || fs::is_directory(*p, error)) return std::nullopt;
    std::ifstream in(*p, std::ios::binary);
    if (!in) return std::nullopt;
    // One read of the whole file where its size is known; anything else
    // (a pipe, a device) is read as it comes.
    std::string bytes;
    const uintmax_t size = fs::file_size(*p, error);
    if (!error && size < bytes.max_size()) {
        bytes.resize(static_cast<size_t>(size));
        in.read(bytes.data(), static_cast<std::streamsize>(size));
        bytes.resize(static_cast<size_t>(in.gcount()));
    }
    bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::string encodeDocument(const Json& document, SaveForm form) {
    switch (form) {
        case SaveForm::Compact: return document.dump();
        case SaveForm::Indented: {
            std::string text = document.dump(4);
            text += '\n';  // appended in place: a 10 MB text is not copied again
            return text;
        }
        case SaveForm::MessagePack: {
            std::vector<uint8_t> bytes = Json::to_msgpack(document);
            return std::string(bytes.begin(), bytes.end());
        }
    }
    return {};
}

bool replaceFile(std::u16string_view path, const std::string& bytes, bool asText) {
    std::optional<fs::path> target = toPath(path);
    if (!target || target->empty() || !target->has_filename()) return false;
    fs::path temporary = *target;
    temporary += ".trivu-saving";
    std::error_code error;
    try {
        std::ofstream out(temporary, asText ? std::ios::out | std::ios::trunc
                                            : std::ios::out | std::ios::trunc | std::ios::binary);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, error);
            return false;
        }
    } catch (...) {
        // The stream may fail after creating the file (its buffer is
        // allocated once the file is open): leave nothing behind.
        fs::remove(temporary, error);
        throw;
    }
    // Replaces an existing file in one step (on Windows, the replacing move).
    fs::rename(temporary, *target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace trivu

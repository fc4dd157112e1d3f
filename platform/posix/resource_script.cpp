// The parser of the resource script compiled into the library on Linux. A
// Windows build gets the same data from the resource compiler; here the
// script itself is read by this small parser, which takes the plain subset of
// the language that trivu.rc keeps to and refuses anything else rather than
// guess, so that a script that works here also works there. The tables it
// fills are declared in resources.h; resources.cpp serves them. The script
// is UTF-8; its texts become the UTF-16 the resource calls hand out.
#include "platform/posix/resources.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/utf.h"

namespace trivu::platform::posix {

namespace {

// ---- Tokens --------------------------------------------------------------

struct ParseError {
    int line;
    std::string message;
};

enum class Kind { Word, Number, String, Punct, Eof };

struct Token {
    Kind kind;
    std::string text;  // the word, the decoded string (UTF-8) or the punctuation
    int64_t number = 0;
    int line = 0;
};

bool isWordStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isWordChar(char c) { return isWordStart(c) || (c >= '0' && c <= '9'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> tokens;
    int line = 1;
    bool lineStart = true;
    size_t i = 0;
    auto skipLine = [&] {
        while (i < s.size() && s[i] != '\n') ++i;
    };
    while (i < s.size()) {
        char c = s[i];
        if (c == '\n') {
            ++line, ++i, lineStart = true;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        // #pragma code_page, #include and the like matter only to the Windows
        // tool chain; the texts are UTF-8 either way.
        if (c == '#' && lineStart) {
            skipLine();
            continue;
        }
        lineStart = false;
        if (s.substr(i, 2) == "//") {
            skipLine();
            continue;
        }
        if (s.substr(i, 2) == "/*") {
            int startLine = line;
            size_t close = s.find("*/", i + 2);
            if (close == std::string_view::npos) throw ParseError{startLine, "unterminated comment"};
            line += static_cast<int>(std::count(s.begin() + i, s.begin() + close, '\n'));
            i = close + 2;
            continue;
        }
        Token t{Kind::Punct, {}, 0, line};
        if (c == '"') {
            t.kind = Kind::String;
            for (++i;; ++i) {
                if (i >= s.size() || s[i] == '\n') throw ParseError{t.line, "unterminated string"};
                if (s[i] == '"') {
                    if (i + 1 < s.size() && s[i + 1] == '"') {
                        t.text += '"', ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (s[i] == '\\' && i + 1 < s.size()) {
                    char e = s[i + 1];
                    const char* mapped = e == 'n' ? "\n" : e == 't' ? "\t" : e == 'r' ? "\r" : e == '\\' ? "\\" : nullptr;
                    if (mapped) {
                        t.text += mapped, ++i;
                        continue;
                    }
                }
                t.text += s[i];
            }
        } else if (isDigit(c)) {
            t.kind = Kind::Number;
            int base = 10;
            if (c == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) base = 16, i += 2;
            size_t start = i;
            for (; i < s.size(); ++i) {
                char d = s[i];
                int v = isDigit(d) ? d - '0' : base == 16 && d >= 'a' && d <= 'f' ? d - 'a' + 10
                                              : base == 16 && d >= 'A' && d <= 'F' ? d - 'A' + 10 : -1;
                if (v < 0) break;
                t.number = t.number * base + v;
                if (t.number > 0xFFFFFFFFLL) throw ParseError{line, "number too large"};
            }
            if (i == start) throw ParseError{line, "malformed number"};
            while (i < s.size() && (s[i] == 'L' || s[i] == 'l' || s[i] == 'U' || s[i] == 'u')) ++i;
            if (i < s.size() && isWordChar(s[i])) throw ParseError{line, "malformed number"};
        } else if (isWordStart(c)) {
            t.kind = Kind::Word;
            while (i < s.size() && isWordChar(s[i])) t.text += s[i++];
        } else if (std::strchr(",|{}-()", c) != nullptr) {
            t.text = std::string(1, c), ++i;
        } else {
            throw ParseError{line, std::string("unexpected character '") + c + "'"};
        }
        tokens.push_back(std::move(t));
    }
    tokens.push_back(Token{Kind::Eof, {}, 0, line});
    return tokens;
}

// ---- Style words -----------------------------------------------------------

struct StyleWord {
    const char* name;
    uint32_t value;
};

// The values of the Windows headers, for the words a dialog is likely to use.
constexpr StyleWord kStyleWords[] = {
    {"WS_OVERLAPPED", 0x00000000},   {"WS_POPUP", 0x80000000},        {"WS_CHILD", 0x40000000},
    {"WS_MINIMIZE", 0x20000000},     {"WS_VISIBLE", 0x10000000},      {"WS_DISABLED", 0x08000000},
    {"WS_CLIPSIBLINGS", 0x04000000}, {"WS_CLIPCHILDREN", 0x02000000}, {"WS_MAXIMIZE", 0x01000000},
    {"WS_CAPTION", 0x00C00000},      {"WS_BORDER", 0x00800000},       {"WS_DLGFRAME", 0x00400000},
    {"WS_VSCROLL", 0x00200000},      {"WS_HSCROLL", 0x00100000},      {"WS_SYSMENU", 0x00080000},
    {"WS_THICKFRAME", 0x00040000},   {"WS_GROUP", 0x00020000},        {"WS_TABSTOP", 0x00010000},
    {"WS_MINIMIZEBOX", 0x00020000},  {"WS_MAXIMIZEBOX", 0x00010000},  {"DS_ABSALIGN", 0x0001},
    {"DS_SYSMODAL", 0x0002},         {"DS_3DLOOK", 0x0004},           {"DS_FIXEDSYS", 0x0008},
    {"DS_NOFAILCREATE", 0x0010},     {"DS_LOCALEDIT", 0x0020},        {"DS_SETFONT", 0x0040},
    {"DS_MODALFRAME", 0x0080},       {"DS_NOIDLEMSG", 0x0100},        {"DS_SETFOREGROUND", 0x0200},
    {"DS_CONTROL", 0x0400},          {"DS_CENTER", 0x0800},           {"DS_CENTERMOUSE", 0x1000},
    {"DS_CONTEXTHELP", 0x2000},      {"DS_SHELLFONT", 0x0048},        {"SS_LEFT", 0x0000},
    {"SS_CENTER", 0x0001},           {"SS_RIGHT", 0x0002},            {"SS_NOPREFIX", 0x0080},
    {"SS_SUNKEN", 0x1000},           {"BS_PUSHBUTTON", 0x0000},       {"BS_DEFPUSHBUTTON", 0x0001},
    {"BS_CHECKBOX", 0x0002},         {"BS_AUTOCHECKBOX", 0x0003},     {"BS_RADIOBUTTON", 0x0004},
    {"BS_AUTORADIOBUTTON", 0x0009},  {"BS_GROUPBOX", 0x0007},         {"BS_MULTILINE", 0x2000},
    {"ES_LEFT", 0x0000},             {"ES_MULTILINE", 0x0004},        {"ES_AUTOHSCROLL", 0x0080},
    {"ES_READONLY", 0x0800},         {"WS_EX_TOPMOST", 0x0008},       {"WS_EX_TOOLWINDOW", 0x0080},
    {"WS_EX_CLIENTEDGE", 0x0200},    {"WS_EX_STATICEDGE", 0x00020000}, {"WS_EX_APPWINDOW", 0x00040000},
};

constexpr uint32_t WS_CHILD_VISIBLE = 0x50000000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
                   WS_BORDER = 0x00800000, WS_POPUP_BORDER_SYSMENU = 0x80880000, DS_SETFONT = 0x0040;

// A control keyword: its window class and the style it starts from (the
// resource compiler's defaults, which the written style words add to).
struct ControlKeyword {
    const char* name;
    const char16_t* className;
    uint32_t style;
    bool hasText;
};

constexpr ControlKeyword kControls[] = {
    {"LTEXT", u"STATIC", WS_CHILD_VISIBLE | WS_GROUP | 0x0, true},
    {"CTEXT", u"STATIC", WS_CHILD_VISIBLE | WS_GROUP | 0x1, true},
    {"RTEXT", u"STATIC", WS_CHILD_VISIBLE | WS_GROUP | 0x2, true},
    {"PUSHBUTTON", u"BUTTON", WS_CHILD_VISIBLE | WS_TABSTOP | 0x0, true},
    {"DEFPUSHBUTTON", u"BUTTON", WS_CHILD_VISIBLE | WS_TABSTOP | 0x1, true},
    {"CHECKBOX", u"BUTTON", WS_CHILD_VISIBLE | WS_TABSTOP | 0x2, true},
    {"AUTOCHECKBOX", u"BUTTON", WS_CHILD_VISIBLE | WS_TABSTOP | 0x3, true},
    {"RADIOBUTTON", u"BUTTON", WS_CHILD_VISIBLE | 0x4, true},
    {"AUTORADIOBUTTON", u"BUTTON", WS_CHILD_VISIBLE | 0x9, true},
    {"GROUPBOX", u"BUTTON", WS_CHILD_VISIBLE | 0x7, true},
    {"EDITTEXT", u"EDIT", WS_CHILD_VISIBLE | WS_TABSTOP | WS_BORDER, false},
};

// ---- Parser ----------------------------------------------------------------

constexpr int kMaxMenuDepth = 16;  // deeper nesting is a broken script, not a menu

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    ResourceScript script() {
        ResourceScript out;
        while (peek().kind != Kind::Eof) {
            if (isWord("STRINGTABLE")) {
                next();
                stringTable(out);
            } else if (isWord("LANGUAGE")) {
                language();
            } else {
                resource(out);
            }
        }
        return out;
    }

private:
    std::vector<Token> tokens_;
    size_t pos_ = 0;

    const Token& peek(size_t ahead = 0) const { return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)]; }
    const Token& next() {
        const Token& t = peek();
        if (pos_ < tokens_.size() - 1) ++pos_;
        return t;
    }
    [[noreturn]] void fail(const std::string& message) const { throw ParseError{peek().line, message}; }

    bool isWord(const char* w, size_t ahead = 0) const {
        return peek(ahead).kind == Kind::Word && peek(ahead).text == w;
    }
    bool isPunct(char c, size_t ahead = 0) const {
        return peek(ahead).kind == Kind::Punct && peek(ahead).text[0] == c;
    }
    bool isBegin() const { return isWord("BEGIN") || isPunct('{'); }
    bool isEnd() const { return isWord("END") || isPunct('}'); }
    bool accept(char c) {
        if (!isPunct(c)) return false;
        next();
        return true;
    }
    void expect(char c) {
        if (!accept(c)) fail(std::string("expected '") + c + "'");
    }
    void begin() {
        if (!isBegin()) fail("expected BEGIN");
        next();
    }
    // True (and consumed) at the END of a block; a block that runs into the
    // end of the script is an error, not an implicit close.
    bool end() {
        if (peek().kind == Kind::Eof) fail("missing END");
        if (!isEnd()) return false;
        next();
        return true;
    }

    int64_t number() {
        bool negative = accept('-');
        if (peek().kind != Kind::Number) fail("expected a number");
        int64_t n = next().number;
        return negative ? -n : n;
    }
    int32_t coordinate() {
        int64_t n = number();
        if (n < INT32_MIN || n > INT32_MAX) fail("number out of range");
        return static_cast<int32_t>(n);
    }
    unsigned id16() {
        int64_t n = number();
        if (n < 0 || n > 0xFFFF) fail("identifier out of range (0 to 65535)");
        return static_cast<unsigned>(n);
    }
    std::string string() {
        if (peek().kind != Kind::String) fail("expected a string");
        return next().text;
    }
    std::string word() {
        if (peek().kind != Kind::Word) fail("expected a keyword");
        return next().text;
    }

    void language() {
        next();
        number();
        expect(',');
        number();
    }

    // Memory flags are accepted for compatibility with older scripts and mean
    // nothing to either platform today.
    void memoryOptions() {
        static constexpr const char* kOptions[] = {"DISCARDABLE", "PRELOAD", "LOADONCALL", "MOVEABLE",
                                                   "FIXED",       "PURE",    "IMPURE"};
        while (peek().kind == Kind::Word &&
               std::any_of(std::begin(kOptions), std::end(kOptions), [&](const char* o) { return isWord(o); }))
            next();
    }

    // style-expression := term { '|' term }; term := [NOT] (number | word | '(' expression ')').
    // NOT clears bits, so that a control can drop one of its default styles.
    uint32_t style(uint32_t value) {
        do {
            bool clear = isWord("NOT");
            if (clear) next();
            uint32_t bits = 0;
            if (accept('(')) {
                bits = style(0);
                expect(')');
            } else if (peek().kind == Kind::Word) {
                const Token& name = next();
                auto it = std::find_if(std::begin(kStyleWords), std::end(kStyleWords),
                                       [&](const StyleWord& w) { return name.text == w.name; });
                if (it == std::end(kStyleWords)) throw ParseError{name.line, "unknown style '" + name.text + "'"};
                bits = it->value;
            } else {
                bits = static_cast<uint32_t>(number());
            }
            value = clear ? (value & ~bits) : (value | bits);
        } while (accept('|'));
        return value;
    }

    void stringTable(ResourceScript& out) {
        memoryOptions();
        if (isWord("LANGUAGE")) language();
        begin();
        while (!end()) {
            unsigned id = id16();
            accept(',');
            int line = peek().line;
            std::u16string text = utf8ToUtf16(string());
            if (!out.strings.emplace(id, std::move(text)).second)
                throw ParseError{line, "string " + std::to_string(id) + " defined twice"};
        }
    }

    void resource(ResourceScript& out) {
        int line = peek().line;
        bool numeric = peek().kind == Kind::Number;
        unsigned id = numeric ? id16() : (word(), 0u);
        std::string type = word();
        if (type == "VERSIONINFO") return skipVersionInfo();
        if (!numeric) throw ParseError{line, type + " resources need a numeric identifier"};
        if (type == "MENU") {
            memoryOptions();
            std::vector<MenuItem> items;
            menuItems(items, 0);
            if (!out.menus.emplace(id, std::move(items)).second)
                throw ParseError{line, "menu " + std::to_string(id) + " defined twice"};
        } else if (type == "DIALOG" || type == "DIALOGEX") {
            auto dialog = dialogTemplate(id, type == "DIALOGEX");
            if (!out.dialogs.emplace(id, std::move(dialog)).second)
                throw ParseError{line, "dialog " + std::to_string(id) + " defined twice"};
        } else {
            throw ParseError{line, "unsupported resource type '" + type + "'"};
        }
    }

    // Nothing on Linux reads the version record: it is checked for balance
    // and passed over.
    void skipVersionInfo() {
        while (!isBegin()) {
            if (peek().kind == Kind::Eof) fail("missing BEGIN");
            next();
        }
        next();
        for (int depth = 1; depth > 0;) {
            if (end()) {
                --depth;
            } else if (isBegin()) {
                next(), ++depth;
            } else {
                next();
            }
        }
    }

    void menuItems(std::vector<MenuItem>& items, int depth) {
        if (depth > kMaxMenuDepth) fail("menu nested too deeply");
        begin();
        while (!end()) {
            MenuItem item;
            if (isWord("MENUITEM") && isWord("SEPARATOR", 1)) {
                next(), next();
                item.separator = true;
            } else if (isWord("MENUITEM")) {
                next();
                item.text = utf8ToUtf16(string());
                accept(',');
                item.id = id16();
                item.disabled = menuOptions();
            } else if (isWord("POPUP")) {
                next();
                item.isPopup = true;
                item.text = utf8ToUtf16(string());
                item.disabled = menuOptions();
                menuItems(item.popup, depth + 1);
            } else {
                fail("expected MENUITEM, POPUP or END");
            }
            items.push_back(std::move(item));
        }
    }

    // Answers whether the item is greyed; the other options only change how
    // Windows lays the menu out.
    bool menuOptions() {
        static constexpr const char* kOptions[] = {"GRAYED", "INACTIVE", "CHECKED", "MENUBARBREAK", "MENUBREAK", "HELP"};
        auto isOption = [&](size_t ahead) {
            return std::any_of(std::begin(kOptions), std::end(kOptions), [&](const char* o) { return isWord(o, ahead); });
        };
        bool disabled = false;
        while (isOption(0) || (isPunct(',') && isOption(1))) {
            accept(',');
            std::string option = next().text;
            disabled = disabled || option == "GRAYED" || option == "INACTIVE";
        }
        return disabled;
    }

    std::unique_ptr<DialogTemplate> dialogTemplate(unsigned id, bool extended) {
        auto d = std::make_unique<DialogTemplate>();
        d->id = static_cast<int32_t>(id);
        memoryOptions();
        d->x = coordinate(), expect(',');
        d->y = coordinate(), expect(',');
        d->cx = coordinate(), expect(',');
        d->cy = coordinate();
        if (extended && accept(',')) number();  // help id
        d->style = WS_POPUP_BORDER_SYSMENU;
        while (!isBegin()) {
            if (isWord("LANGUAGE")) {
                language();
                continue;
            }
            int line = peek().line;
            std::string statement = word();
            if (statement == "STYLE") {
                d->style = style(0);
            } else if (statement == "EXSTYLE") {
                style(0);
            } else if (statement == "CAPTION") {
                d->caption = utf8ToUtf16(string());
            } else if (statement == "FONT") {
                d->fontSize = coordinate();
                expect(',');
                d->fontName = utf8ToUtf16(string());
                for (int extra = 0; extended && extra < 3 && accept(','); ++extra) number();  // weight, italic, charset
                d->style |= DS_SETFONT;
            } else if (statement == "CHARACTERISTICS" || statement == "VERSION") {
                number();
            } else {
                throw ParseError{line, "unsupported dialog statement '" + statement + "'"};
            }
        }
        begin();
        while (!end()) d->controls.push_back(control(extended));
        link(*d);
        return d;
    }

    DialogControl control(bool extended) {
        DialogControl c;
        int line = peek().line;
        std::string keyword = word();
        if (keyword == "CONTROL") {
            c.text = utf8ToUtf16(string());
            expect(',');
            c.id = coordinate();
            expect(',');
            c.className = utf8ToUtf16(peek().kind == Kind::String ? string() : word());
            expect(',');
            c.style = style(WS_CHILD_VISIBLE);
            expect(',');
            position(c);
            if (accept(',')) style(0);  // extended style
            return c;
        }
        auto it = std::find_if(std::begin(kControls), std::end(kControls),
                               [&](const ControlKeyword& k) { return keyword == k.name; });
        if (it == std::end(kControls)) throw ParseError{line, "unsupported control '" + keyword + "'"};
        c.className = it->className;
        if (it->hasText) {
            c.text = utf8ToUtf16(string());
            expect(',');
        }
        c.id = coordinate();
        expect(',');
        position(c);
        c.style = it->style;
        if (accept(',')) c.style = style(c.style);
        if (extended && accept(',')) style(0);  // extended style
        return c;
    }

    void position(DialogControl& c) {
        c.x = coordinate(), expect(',');
        c.y = coordinate(), expect(',');
        c.cx = coordinate(), expect(',');
        c.cy = coordinate();
    }

    // Points the desktop's view at the template's own strings, once they are
    // in their final place.
    static void link(DialogTemplate& d) {
        d.desktopControls.clear();
        for (const DialogControl& c : d.controls)
            d.desktopControls.push_back(
                DesktopControl{c.className.c_str(), c.text.c_str(), c.id, c.style, c.x, c.y, c.cx, c.cy});
        d.desktop = DesktopDialog{d.id,
                                  d.caption.c_str(),
                                  d.fontName.c_str(),
                                  d.fontSize,
                                  d.x,
                                  d.y,
                                  d.cx,
                                  d.cy,
                                  d.desktopControls.data(),
                                  static_cast<int32_t>(d.desktopControls.size())};
    }
};

}  // namespace

std::optional<ResourceScript> parseResourceScript(std::string_view text, std::string* error) {
    try {
        Parser parser(tokenize(text));
        return parser.script();
    } catch (const ParseError& e) {
        if (error) *error = "line " + std::to_string(e.line) + ": " + e.message;
    } catch (...) {
        if (error) *error = "out of memory";
    }
    return std::nullopt;
}

}  // namespace trivu::platform::posix

// The catalogue, menus and about box, read through the edit-time exports.
//
//   1. The exports of one kind
//   2. Reading the catalogue
//   3. JSON
//   4. Markdown
//   5. Menus
//   6. The about box
#include "trivu-host/commands/catalogue.h"

#include <cstdio>
#include <memory>
#include <ostream>

#include <nlohmann/json.hpp>

#include "trivu-host/base/text.h"

namespace standin {
namespace {

// The exports' text buffers, as large as the event editor's.
constexpr int16_t kTextBuffer = 256;

// ---- 1. The exports of one kind ----------------------------------------------------

// The exports that serve one kind, so that the rest of the file needs no
// three-way switch. Expressions have no title export of the per-parameter
// shape; GetExpressionParam serves them.
struct KindExports {
    decltype(&::GetActionMenu) menu;
    decltype(&::GetActionCodeFromMenu) codeFromMenu;
    decltype(&::GetActionInfos) infos;
    decltype(&::GetActionString) string;
    decltype(&::GetActionTitle) title;
    decltype(&::GetExpressionParam) expressionParam;
    int count;
    const char* singular;
};

KindExports exportsOf(const Library& library, AceKind kind) {
    switch (kind) {
        case AceKind::Action:
            return {library.GetActionMenu, library.GetActionCodeFromMenu, library.GetActionInfos,
                    library.GetActionString, library.GetActionTitle, nullptr, library.infos.numOfActions,
                    "action"};
        case AceKind::Condition:
            return {library.GetConditionMenu, library.GetConditionCodeFromMenu, library.GetConditionInfos,
                    library.GetConditionString, library.GetConditionTitle, nullptr,
                    library.infos.numOfConditions, "condition"};
        case AceKind::Expression:
            break;
    }
    return {library.GetExpressionMenu, library.GetExpressionCodeFromMenu, library.GetExpressionInfos,
            library.GetExpressionString, nullptr, library.GetExpressionParam, library.infos.numOfExpressions,
            "expression"};
}

// A text an export writes into a buffer; the buffer is terminated whatever
// the export does at its end.
template <typename Fill>
std::string bufferText(Fill fill) {
    char16_t buffer[kTextBuffer] = {};
    fill(buffer, kTextBuffer);
    buffer[kTextBuffer - 1] = 0;
    return trivu::platform::utf16ToUtf8(buffer);
}

bool isSeparator(const DesktopMenu::Item& item) { return (item.flags & MF_SEPARATOR) != 0; }
bool isDisabled(const DesktopMenu::Item& item) { return (item.flags & (MF_GRAYED | MF_DISABLED)) != 0; }

const DesktopMenu* menuOf(EditSession& session, const KindExports& exports) {
    if (exports.menu == nullptr) return nullptr;
    return session.desktop.menu(exports.menu(session.editor.block(), nullptr, nullptr));
}

// ---- 2. Reading the catalogue -------------------------------------------------------

// Gives each entry the menu item that leads to it: the code-from-menu export
// decides, as it does for the event editor.
void assignMenuItems(EditSession& session, const KindExports& exports, const DesktopMenu& menu,
                     std::vector<CatalogueEntry>& entries) {
    for (const auto& item : menu.items) {
        if (item.popup) {
            assignMenuItems(session, exports, *item.popup, entries);
            continue;
        }
        if (isSeparator(item) || exports.codeFromMenu == nullptr) continue;
        int code = exports.codeFromMenu(session.editor.block(), static_cast<int16_t>(item.id));
        if (code < 0 || code >= static_cast<int>(entries.size()) || entries[code].menuId != 0) continue;
        entries[code].menuId = static_cast<int>(item.id);
        entries[code].menu = trivu::platform::utf16ToUtf8(item.text);
    }
}

CatalogueEntry readEntry(EditSession& session, const KindExports& exports, int code, std::ostream& warnings) {
    mv* mV = session.editor.block();
    auto code16 = static_cast<int16_t>(code);
    CatalogueEntry entry;
    entry.code = code;
    if (exports.string)
        entry.display = bufferText([&](char16_t* b, int16_t n) { exports.string(mV, code16, b, n); });
    EventInfos infos = exports.infos(mV, code16);
    if (infos == nullptr) {
        warnings << exports.singular << " " << code << ": no description entry\n";
        return entry;
    }
    if (eventCode(infos) != code)
        warnings << exports.singular << " " << code << ": the description entry says code " << eventCode(infos)
                 << "\n";
    entry.flags = eventFlags(infos);
    for (int i = 0; i < eventParamCount(infos); ++i) {
        CatalogueParam param;
        param.kind = eventParamKind(infos, i);
        auto i16 = static_cast<int16_t>(i);
        if (exports.title)
            param.title = bufferText([&](char16_t* b, int16_t n) { exports.title(mV, code16, i16, b, n); });
        else if (exports.expressionParam)
            param.title =
                bufferText([&](char16_t* b, int16_t n) { exports.expressionParam(mV, code16, i16, b, n); });
        entry.params.push_back(std::move(param));
    }
    return entry;
}

std::vector<CatalogueEntry> readKind(EditSession& session, AceKind kind, std::ostream& warnings) {
    KindExports exports = exportsOf(session.library, kind);
    std::vector<CatalogueEntry> entries;
    for (int code = 0; code < exports.count; ++code) entries.push_back(readEntry(session, exports, code, warnings));
    if (const DesktopMenu* menu = menuOf(session, exports)) assignMenuItems(session, exports, *menu, entries);
    for (const auto& entry : entries)
        if (entry.menuId == 0) warnings << exports.singular << " " << entry.code << ": no menu item leads to it\n";
    return entries;
}

const char* kindName(AceKind kind, uint16_t code) {
    if (kind == AceKind::Expression) {
        if (code == EXPPARAM_LONG) return "number";
        if (code == EXPPARAM_STRING) return "text";
        return nullptr;
    }
    if (code == PARAM_OBJECT) return "object";
    if (code == PARAM_EXPRESSION) return "number";
    if (code == PARAM_EXPSTRING) return "text";
    return nullptr;
}

// ---- 3. JSON -------------------------------------------------------------------------

nlohmann::ordered_json entryJson(const CatalogueEntry& entry) {
    nlohmann::ordered_json params = nlohmann::ordered_json::array();
    for (const auto& param : entry.params) params.push_back({{"kind", param.kind}, {"title", param.title}});
    return {{"code", entry.code},     {"menuId", entry.menuId}, {"menu", entry.menu},
            {"display", entry.display}, {"flags", entry.flags},   {"params", std::move(params)}};
}

// ---- 4. Markdown ---------------------------------------------------------------------

// A cell holds one line; "|" would end it, and the cell uses <br> itself.
std::string cell(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '|': out += "\\|"; break;
            case '\\': out += "\\\\"; break;
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '\n': out += ' '; break;
            default: out += c;
        }
    }
    return out;
}

// The menu text as a link to the entry's own section of the page, below the
// tables ("#action-5"): the text without the spaces at its ends (a cell drops
// them anyway), its brackets escaped.
std::string menuLink(AceKind kind, const CatalogueEntry& entry) {
    const char* anchor[] = {"action", "condition", "expression"};
    const size_t first = entry.menu.find_first_not_of(' ');
    std::string text;
    if (first != std::string::npos) text = entry.menu.substr(first, entry.menu.find_last_not_of(' ') - first + 1);
    std::string out = "[";
    for (char c : cell(text)) {
        if (c == '[' || c == ']') out += '\\';
        out += c;
    }
    out += "](#";
    out += anchor[static_cast<int>(kind)];
    out += '-';
    out += std::to_string(entry.code);
    out += ')';
    return out;
}

std::string hex(unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%x", value);
    return buffer;
}

std::string flagsCell(AceKind kind, uint16_t flags) {
    if (kind == AceKind::Action) return std::to_string(flags);
    const char* meaning = nullptr;
    if (kind == AceKind::Condition) {
        if (flags == 0) meaning = "triggered";
        if (flags == EVFLAGS_ALWAYS) meaning = "evaluated";
        if (flags == (EVFLAGS_ALWAYS | EVFLAG2_NOTABLE)) meaning = "evaluated, negatable";
    } else {
        if (flags == EXPFLAG_STRING) meaning = "text";
        if (flags == EXPFLAG_DOUBLE) meaning = "number";
    }
    return meaning ? hex(flags) + " (" + meaning + ")" : hex(flags);
}

std::string paramsCell(AceKind kind, const std::vector<CatalogueParam>& params) {
    if (params.empty()) return "none";
    std::string out;
    for (size_t i = 0; i < params.size(); ++i) {
        if (i > 0) out += "<br>";
        const char* name = kindName(kind, params[i].kind);
        out += std::to_string(i + 1) + ". " + (name ? name : "kind " + std::to_string(params[i].kind)) + ": " +
               cell(params[i].title);
    }
    return out;
}

void printSection(const Catalogue& catalogue, AceKind kind, std::ostream& out) {
    const char* legend[] = {
        "Flags are 0 for every action.",
        "Flags: 0 = triggered (tested only when the extension raises it), 0x20 = evaluated whenever the "
        "event is reached, 0x220 = evaluated and may be negated.",
        "Flags: 0x1 = text result, 0x2 = number result. The display text is the expression's name.",
    };
    const char* title[] = {"Actions", "Conditions", "Expressions"};
    int index = static_cast<int>(kind);
    out << "\n## " << title[index] << "\n\n" << legend[index] << "\n\n";
    out << "| code | menu id | menu text | display text | flags | parameters |\n";
    out << "|---:|---:|---|---|---|---|\n";
    for (const auto& entry : catalogue.of(kind))
        out << "| " << entry.code << " | " << entry.menuId << " | " << menuLink(kind, entry) << " | "
            << cell(entry.display) << " | " << flagsCell(kind, entry.flags) << " | " << paramsCell(kind, entry.params)
            << " |\n";
}

// ---- 5. Menus --------------------------------------------------------------------------

void printMenuItems(const DesktopMenu& menu, int depth, std::ostream& out) {
    std::string indent(2 * static_cast<size_t>(depth), ' ');
    for (const auto& item : menu.items) {
        if (item.popup) {
            out << indent << "+ " << trivu::platform::utf16ToUtf8(item.text) << '\n';
            printMenuItems(*item.popup, depth + 1, out);
        } else if (isSeparator(item)) {
            out << indent << "---\n";
        } else {
            out << indent << item.id << ' ' << trivu::platform::utf16ToUtf8(item.text) << (isDisabled(item) ? " (disabled)" : "") << '\n';
        }
    }
}

}  // namespace

const char* pluralName(AceKind kind) {
    switch (kind) {
        case AceKind::Action: return "actions";
        case AceKind::Condition: return "conditions";
        case AceKind::Expression: return "expressions";
    }
    return "";
}

const std::vector<CatalogueEntry>& Catalogue::of(AceKind kind) const {
    switch (kind) {
        case AceKind::Action: return actions;
        case AceKind::Condition: return conditions;
        case AceKind::Expression: break;
    }
    return expressions;
}

Catalogue readCatalogue(EditSession& session, std::ostream& warnings) {
    Catalogue catalogue;
    catalogue.actions = readKind(session, AceKind::Action, warnings);
    catalogue.conditions = readKind(session, AceKind::Condition, warnings);
    catalogue.expressions = readKind(session, AceKind::Expression, warnings);
    return catalogue;
}

// One entry a line: short enough to read, and a diff of two catalogues shows
// whole entries.
void printCatalogueJson(const Catalogue& catalogue, std::ostream& out) {
    out << "{\n";
    const char* between = "";
    for (AceKind kind : {AceKind::Action, AceKind::Condition, AceKind::Expression}) {
        out << between << "  \"" << pluralName(kind) << "\": [";
        const auto& entries = catalogue.of(kind);
        for (size_t i = 0; i < entries.size(); ++i) out << (i ? ",\n    " : "\n    ") << entryJson(entries[i]).dump();
        out << (entries.empty() ? "]" : "\n  ]");
        between = ",\n";
    }
    out << "\n}\n";
}

void printCatalogueMarkdown(const Catalogue& catalogue, std::ostream& out) {
    out << "<!-- Generated by trivu-host; after a change to the catalogue, regenerate everything above the "
           "Notes section with: build/trivu-host catalogue -->\n";
    out << "# TRIVU reference: actions, conditions and expressions\n\n";
    out << "The " << catalogue.actions.size() << " actions, " << catalogue.conditions.size() << " conditions and "
        << catalogue.expressions.size()
        << " expressions of the extension, as its edit-time exports describe them to the event editor: the menu "
           "item that leads to each (its text leads to the entry's own section, below the tables), its display text "
           "(\"%o\" stands for the object, \"%0\", \"%1\", ... for the "
           "parameters), its flags and its parameters with their prompts.\n";
    for (AceKind kind : {AceKind::Action, AceKind::Condition, AceKind::Expression}) printSection(catalogue, kind, out);
}

bool printMenu(EditSession& session, AceKind kind, std::ostream& out, std::ostream& err) {
    KindExports exports = exportsOf(session.library, kind);
    const DesktopMenu* menu = menuOf(session, exports);
    if (menu == nullptr) {
        err << "trivu-host: the extension serves no " << exports.singular << " menu\n";
        return false;
    }
    printMenuItems(*menu, 0, out);
    return true;
}

// ---- 6. The about box --------------------------------------------------------------------

bool printAbout(EditSession& session, std::ostream& out, std::ostream& err) {
    if (session.library.EditObject == nullptr) {
        err << "trivu-host: the extension has no EditObject export\n";
        return false;
    }
    std::unique_ptr<EditRecord> record = session.editor.createRecord();
    if (record == nullptr) {
        err << "trivu-host: the extension refused to create an edit-time record\n";
        return false;
    }
    int32_t answer = session.library.EditObject(session.editor.block(), nullptr, nullptr, record->data());
    if (const Desktop::DialogSeen* dialog = session.desktop.lastDialog()) {
        out << "dialog " << dialog->id << ' ' << quoted(std::u16string_view(dialog->caption)) << '\n';
        out << "font " << quoted(std::u16string_view(dialog->fontName)) << ' ' << dialog->fontSize << '\n';
        out << "size " << dialog->cx << ' ' << dialog->cy << '\n';
        for (const auto& control : dialog->controls)
            out << "control " << quoted(std::u16string_view(control.className)) << ' ' << control.id << ' '
                << quoted(std::u16string_view(control.text)) << '\n';
        out << "closed " << dialog->result << '\n';
    } else {
        out << "no dialog\n";
    }
    out << "answer " << answer << '\n';
    return true;
}

}  // namespace standin

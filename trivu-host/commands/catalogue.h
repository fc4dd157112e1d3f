// The extension's actions, conditions and expressions as the event editor
// sees them: read only through the edit-time exports, and printed by the
// `catalogue`, `menu` and `about` commands.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "trivu-host/play/desktop.h"
#include "trivu-host/play/editor.h"
#include "trivu-host/play/library.h"

namespace standin {

enum class AceKind { Action, Condition, Expression };

const char* pluralName(AceKind kind);  // "actions", "conditions", "expressions"

struct CatalogueParam {
    uint16_t kind = 0;
    std::string title;  // UTF-8
};

struct CatalogueEntry {
    int code = 0;
    int menuId = 0;        // 0 when no menu item leads to the entry
    std::string menu;      // the menu item's text, UTF-8
    std::string display;   // display text, or an expression's name
    uint16_t flags = 0;
    std::vector<CatalogueParam> params;
};

struct Catalogue {
    std::vector<CatalogueEntry> actions, conditions, expressions;
    const std::vector<CatalogueEntry>& of(AceKind kind) const;
};

// What the host needs to talk to the edit-time exports.
struct EditSession {
    Library& library;
    Editor& editor;
    Desktop& desktop;
};

// Reads the catalogue; complaints about inconsistent data go to `warnings`.
Catalogue readCatalogue(EditSession& session, std::ostream& warnings);

void printCatalogueJson(const Catalogue& catalogue, std::ostream& out);
void printCatalogueMarkdown(const Catalogue& catalogue, std::ostream& out);

// The menu export's tree, one line per item. False (with a message on `err`)
// when the library serves no such menu.
bool printMenu(EditSession& session, AceKind kind, std::ostream& out, std::ostream& err);

// Opens the about box through EditObject and prints what the desktop was shown.
bool printAbout(EditSession& session, std::ostream& out, std::ostream& err);

}  // namespace standin

// JSON load of arbitrary bytes (action 2), then whatever was loaded saved in
// the three forms (action 9), dumped and read through the text expressions.
// What loaded must be what the library's own parser makes of the same bytes,
// and what the compact and the indented saves wrote must load back as the
// same document.
#include <fstream>

#include "tests/fuzz/targets.h"
#include "tests/unit/fake_host.h"

namespace fuzz {
namespace {

using Document = decltype(RUNDATA::document);

void write(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

bool exists(const std::u16string& path) {
    std::ifstream in(std::string(path.begin(), path.end()));
    return in.good();
}

// Loads `path` again into a second instance and compares its document.
void loadsBackEqual(const std::u16string& path, const Document& document, const char* form) {
    if (!exists(path)) return;
    test::Instance again(0);
    again.action(2, {path.c_str()});
    if (again.rd().document != document) {
        std::fprintf(stderr, "fuzz: the %s save does not load back as it was\n", form);
        violated("a saved document loads back different");
    }
}

}  // namespace

int jsonLoad(const uint8_t* data, size_t size) {
    const std::u16string in = scratchPath("in.json"), compact = scratchPath("compact.json"),
                         indented = scratchPath("indented.json"), packed = scratchPath("packed.msgpack");
    write(scratch() + "/in.json", data, size);
    for (const std::u16string* file : {&compact, &indented, &packed})
        std::remove(std::string(file->begin(), file->end()).c_str());

    test::RecordingDesktop desktop;
    test::Instance instance(1);
    instance.action(2, {in.c_str()});
    if (instance.rd().target != nullptr) {
        const Document library = Document::parse(data, data + size, nullptr, /*allow_exceptions=*/false);
        if (!library.is_discarded() && library != instance.rd().document)
            violated("a loaded document differs from the library's own parse");
    }
    instance.action(9, {compact.c_str(), u"0,0"});
    instance.action(9, {indented.c_str(), u"0,1"});
    instance.action(9, {packed.c_str(), u"1,0"});
    for (const char16_t* pointer : {u"", u"/0", u"/a", u"/0/0", u"/~0~1", u"//"}) {
        instance.textExpression(1, {pointer});
        instance.textExpression(9, {pointer, int32_t{4}});
        instance.textExpression(9, {pointer, int32_t{-1}});
    }
    instance.textExpression(10);
    instance.textExpression(11);

    Document document = instance.rd().document;
    loadsBackEqual(compact, document, "compact");
    loadsBackEqual(indented, document, "indented");
    return 0;
}

}  // namespace fuzz

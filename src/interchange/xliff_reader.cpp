// Reading XLIFF 1.2 with pugixml: each <trans-unit> of every <file>, its macro from resname
// and its ID from id, its translation from <target> and the target's state. Text comes from
// character data and from the content of <ph>, <x equiv-text> and similar inline elements.
#include "interchange/file_bytes.h"
#include "interchange/formats.h"
#include "interchange/xliff_names.h"

#include <pugixml.hpp>

#include <charconv>
#include <cstring>

namespace ril::interchange {
namespace {

// Line and column (counted in bytes from 1) of a byte offset.
Place PlaceOf(std::string const &bytes, std::ptrdiff_t offset, std::string const &name) {
    Place place{name, 1, 1};
    std::size_t const end =
        std::min<std::size_t>(offset < 0 ? 0 : std::size_t(offset), bytes.size());
    for (std::size_t i = 0; i < end; ++i) {
        if (bytes[i] == '\n') {
            ++place.line;
            place.column = 1;
        } else {
            ++place.column;
        }
    }
    return place;
}

// The text of an element: its character data and its inline elements' native content
// (<ph>, <bpt>, <ept>, <it>, <g>, <mrk>), or an <x>'s equiv-text.
void CollectText(pugi::xml_node element, std::string &text) {
    for (pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
        else if (child.type() == pugi::node_element && std::strcmp(child.name(), "x") == 0)
            text += child.attribute("equiv-text").value();
        else if (child.type() == pugi::node_element && std::strcmp(child.name(), "sub") != 0)
            CollectText(child, text);
    }
}

// States in which a target is a translation; the needs-review states are fuzzy.
bool IsTranslated(std::string_view state) {
    return state == kTranslated || state == "final" || state == "signed-off";
}
bool IsFuzzy(std::string_view state) {
    return state.starts_with("needs-review") || state == "needs-adaptation" ||
           state == "needs-l10n";
}

Unit ReadUnit(pugi::xml_node node, std::string const &bytes, std::string const &name) {
    Unit unit;
    unit.place = PlaceOf(bytes, node.offset_debug() - 1, name); // its '<'

    unit.macro = node.attribute("resname").value();
    if (unit.macro.empty())
        throw Error(unit.place, "the trans-unit has no resname (the item's macro)");
    std::string_view const id = node.attribute("id").value();
    auto const [end, error] = std::from_chars(id.data(), id.data() + id.size(), unit.id);
    unit.identified = !id.empty() && error == std::errc() && end == id.data() + id.size();
    CollectText(node.child(kSource), unit.source);
    pugi::xml_node const target = node.child(kTarget);
    if (!target)
        return unit;
    std::string_view const state = target.attribute("state").value();
    bool const approved = std::string_view(node.attribute("approved").value()) == "yes";
    CollectText(target, unit.target);
    unit.fuzzy = IsFuzzy(state) && !approved;
    unit.translated =
        (state.empty() || IsTranslated(state) || unit.fuzzy || approved) && !unit.target.empty();
    return unit;
}

} // namespace

Units ReadXliffBuffer(std::string const &bytes, std::string const &name) {
    pugi::xml_document document;
    pugi::xml_parse_result const parsed =
        document.load_buffer(bytes.data(), bytes.size(),
                             pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_auto);
    if (!parsed)
        throw Error(PlaceOf(bytes, parsed.offset, name), parsed.description());
    pugi::xml_node const root = document.document_element();
    if (std::strcmp(root.name(), "xliff") != 0 ||
        std::strcmp(root.attribute("xmlns").value(), kNamespace) != 0)
        throw Error(PlaceOf(bytes, root.offset_debug() - 1, name),
                    std::string("not an XLIFF 1.2 document (<xliff xmlns=\"") + kNamespace +
                        "\"> expected)");
    Units units;
    for (pugi::xml_node file : root.children("file"))
        for (pugi::xml_node body : file.children("body"))
            for (pugi::xpath_node const found : body.select_nodes(".//trans-unit"))
                units.push_back(ReadUnit(found.node(), bytes, name));
    return units;
}

Units ReadXliff(std::string const &path) {
    return ReadXliffBuffer(ReadFileBytes(path), path);
}

} // namespace ril::interchange

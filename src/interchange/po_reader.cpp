// Reading PO files with libgettextpo. libgettextpo gives no message its own line, so the
// place of a message for messages is the line of its "msgctxt" in the file (PoPlaces).
#include "interchange/file_bytes.h"
#include "interchange/formats.h"
#include "interchange/line_breaks.h"
#include "interchange/po_places.h"
#include "interchange/text_codec.h"

#include "interchange/po_handles.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace ril::interchange {
namespace {

// libgettextpo's handlers take no context: the first problem of a read goes to this thread's
// slot. A fatal problem returns too: the reader then gives up on the file and frees it.
struct ReadProblem {
    bool seen = false;
    Place place;
    std::string text;
};
thread_local ReadProblem *gProblem = nullptr;

void OnReadError(int severity, po_message_t, char const *file, size_t line, size_t column, int,
                 char const *text) {
    if (gProblem == nullptr || gProblem->seen || severity == PO_SEVERITY_WARNING)
        return;
    gProblem->seen = true;
    if (file != nullptr && line != static_cast<size_t>(-1))
        gProblem->place = {file, line, column == static_cast<size_t>(-1) ? 1 : column};
    gProblem->text = text != nullptr ? text : "cannot read the file";
    while (!gProblem->text.empty() && gProblem->text.back() == '\n')
        gProblem->text.pop_back();
}

void OnReadError2(int severity, po_message_t, char const *file, size_t line, size_t column, int,
                  char const *text, po_message_t, char const *, size_t, size_t, int, char const *) {
    OnReadError(severity, nullptr, file, line, column, 0, text);
}

// The extracted comments of a message: the ID of "ID N" (none without one), and whether
// its line breaks are CR LF.
struct Comments {
    std::optional<std::uint32_t> id;
    bool crlf = false;
};

Comments ReadComments(char const *comments) {
    Comments read;
    std::string_view rest = comments != nullptr ? comments : "";
    while (!rest.empty()) {
        std::string_view const line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(std::min(rest.size(), line.size() + 1));
        read.crlf = read.crlf || line == kCrlfComment;
        if (!line.starts_with(kIdComment))
            continue;
        std::string_view const digits = line.substr(sizeof kIdComment - 1);
        std::uint32_t id = 0;
        auto const [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
        if (error == std::errc() && end == digits.data() + digits.size())
            read.id = id;
    }
    return read;
}

// The header entry's charset must be UTF-8. (The header is read from its message:
// po_file_domain_header returns a copy that nothing frees.)
void RequireUtf8(char const *header, std::string const &path) {
    std::unique_ptr<char, decltype(&std::free)> type(po_header_field(header, "Content-Type"),
                                                     &std::free);
    std::string_view const value = type ? type.get() : "";
    std::size_t const at = value.find("charset=");
    std::string charset(at == value.npos ? "" : value.substr(at + 8));
    for (char &c : charset)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!charset.empty() && charset != "UTF-8" && charset != "CHARSET" && charset != "ASCII")
        throw Error({path}, "the file's charset is " + std::string(value.substr(at + 8)) +
                                ", not UTF-8 (convert it with msgconv -t UTF-8)");
}

Unit ReadMessage(po_message_t message, PoPlaces const &places) {
    char const *context = po_message_msgctxt(message);
    Unit unit;
    unit.macro = context != nullptr ? context : "";
    unit.place = places.Find(unit.macro);
    if (context == nullptr)
        throw Error(unit.place, "the message \"" + std::string(po_message_msgid(message)) +
                                    "\" has no msgctxt (the item's macro)");
    if (po_message_msgid_plural(message) != nullptr)
        throw Error(unit.place, "the message " + unit.macro + " has plural forms");
    Comments const comments = ReadComments(po_message_extracted_comments(message));
    unit.id = comments.id.value_or(0);
    unit.identified = comments.id.has_value();
    unit.source = po_message_msgid(message);
    unit.target = po_message_msgstr(message);
    // The file is UTF-8 (or ASCII): bytes that are not would go on as no text at all.
    for (std::string const *text : {&unit.macro, &unit.source, &unit.target})
        if (!IsUtf8(*text))
            throw Error(unit.place, "a message here is not valid UTF-8");
    if (comments.crlf) {
        unit.source = LfToCrlf(unit.source);
        unit.target = LfToCrlf(unit.target);
    }
    unit.translated = !unit.target.empty();
    // An empty translation is untranslated, fuzzy flag or not (gettext writes no flag for it).
    unit.fuzzy = po_message_is_fuzzy(message) != 0 && unit.translated;
    return unit;
}

} // namespace

Units ReadPo(std::string const &path) {
    PoPlaces const places(ReadFileBytes(path), path);
    ReadProblem problem;
    gProblem = &problem;
    po_xerror_handler const handler{&OnReadError, &OnReadError2};
    PoFile file(po_file_read(path.c_str(), &handler));
    gProblem = nullptr;
    if (problem.seen)
        throw Error(problem.place.line > 0 ? problem.place : Place{path}, problem.text);
    if (!file)
        throw Error({path}, "cannot read the file");
    Units units;
    PoIterator messages(po_message_iterator(file.get(), nullptr));
    while (po_message_t message = po_next_message(messages.get())) {
        bool const header =
            po_message_msgctxt(message) == nullptr && *po_message_msgid(message) == '\0';
        if (header)
            RequireUtf8(po_message_msgstr(message), path);
        else if (po_message_is_obsolete(message) == 0)
            units.push_back(ReadMessage(message, places));
    }
    return units;
}

} // namespace ril::interchange

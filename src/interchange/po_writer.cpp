// Writing PO and POT files with libgettextpo: a header entry, then one message per unit with
// the macro as msgctxt and the ID (and any placeholders) as extracted comments.
#include "interchange/formats.h"
#include "interchange/line_breaks.h"
#include "interchange/placeholders.h"
#include "interchange/replaced_file.h"

#include "interchange/po_handles.h"

#include <ctime>
#include <memory>

namespace ril::interchange {
namespace {

std::string PoDate(long long stamp) {
    std::time_t const time = static_cast<std::time_t>(stamp);
    std::tm parts{};
#if defined(_WIN32)
    gmtime_s(&parts, &time);
#else
    gmtime_r(&time, &parts);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M+0000", &parts);
    return text;
}

std::string Header(FileFacts const &facts) {
    std::string const date = PoDate(facts.stamp);
    return "Project-Id-Version: " + facts.project + "\n" + "Report-Msgid-Bugs-To: \n" +
           "POT-Creation-Date: " + date + "\n" + "PO-Revision-Date: " +
           (facts.templateOnly ? std::string("YEAR-MO-DA HO:MI+ZONE") : date) + "\n" +
           "Last-Translator: \n" + "Language-Team: \n" + "Language: " + facts.targetLanguage +
           "\n" + "MIME-Version: 1.0\n" + "Content-Type: text/plain; charset=UTF-8\n" +
           "Content-Transfer-Encoding: 8bit\n" + "X-Generator: " + facts.generator + "\n";
}

// Whether the unit's texts go out with LF for CR LF; an Error when a text has another
// carriage return, which PO cannot hold.
bool CrlfUnit(Unit const &unit, bool templateOnly, std::string const &path) {
    std::string_view const target = templateOnly ? std::string_view() : unit.target;
    bool const crlf =
        unit.source.find('\r') != std::string::npos || target.find('\r') != std::string::npos;
    if (crlf && !(BreaksAreCrlf(unit.source) && BreaksAreCrlf(target)))
        throw Error({path}, "the text of " + unit.macro + " (ID " + std::to_string(unit.id) +
                                ") holds a carriage return that is no part of a CR LF line "
                                "break, which PO cannot hold (use XLIFF)");
    return crlf;
}

po_message_t Message(Unit const &unit, bool templateOnly, std::string const &path) {
    bool const crlf = CrlfUnit(unit, templateOnly, path);
    std::string comments = kIdComment + std::to_string(unit.id);
    if (std::string const list = PlaceholderList(unit.source); !list.empty())
        comments += "\n" + std::string(kFormatComment) + list;
    if (crlf)
        comments += "\n" + std::string(kCrlfComment);
    po_message_t message = po_message_create();
    po_message_set_extracted_comments(message, comments.c_str());
    po_message_set_msgctxt(message, unit.macro.c_str());
    po_message_set_msgid(message, CrlfToLf(unit.source).c_str());
    po_message_set_msgstr(message, templateOnly ? "" : CrlfToLf(unit.target).c_str());
    po_message_set_fuzzy(message, unit.fuzzy && !templateOnly);
    return message;
}

// libgettextpo's report of a failed write; a fatal one must not return, so it throws.
// libgettextpo's handlers take no context: the failure goes to this thread's slot during a write.
thread_local std::string *gWriteError = nullptr;
struct WriteFailed {};

void OnWriteError(int severity, po_message_t, char const *, size_t, size_t, int, char const *text) {
    if (gWriteError != nullptr && gWriteError->empty())
        *gWriteError = text;
    if (severity == PO_SEVERITY_FATAL_ERROR)
        throw WriteFailed{};
}

void OnWriteError2(int severity, po_message_t, char const *, size_t, size_t, int, char const *text,
                   po_message_t, char const *, size_t, size_t, int, char const *) {
    OnWriteError(severity, nullptr, nullptr, 0, 0, 0, text);
}

} // namespace

void WritePo(Units const &units, FileFacts const &facts, std::string const &path) {
    PoFile file(po_file_create());
    {
        PoIterator at(po_message_iterator(file.get(), nullptr));
        po_message_t header = po_message_create();
        po_message_set_msgid(header, "");
        po_message_set_msgstr(header, Header(facts).c_str());
        po_message_set_fuzzy(header, facts.templateOnly);
        po_message_insert(at.get(), header);
        for (Unit const &unit : units)
            po_message_insert(at.get(), Message(unit, facts.templateOnly, path));
    }
    ReplacedFile output(path);
    std::string error;
    gWriteError = &error;
    po_xerror_handler const handler{&OnWriteError, &OnWriteError2};
    try {
        po_file_write(file.get(), output.TemporaryPath().c_str(), &handler);
    } catch (WriteFailed const &) {
    }
    gWriteError = nullptr;
    if (!error.empty())
        throw Error({path}, error);
    output.Commit();
}

} // namespace ril::interchange

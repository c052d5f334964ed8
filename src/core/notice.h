// Notices with their parts: a catalogue message, the place it concerns, the system error
// behind it and its arguments, rendered in GBK or English and delivered as the process's
// notice settings say: to the caller's structured handler, the caller's plain handler or
// the platform's own presentation.
#pragma once

#include "core/messages.h"

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

namespace ril::core {

// One argument of a notice's message: a number or a text.
struct NoticeArg {
    bool isText = false;
    long long number = 0;
    char const *text = nullptr;
};

// The language notices are rendered in.
enum class NoticeLanguage { Chinese = 0, English = 1 };

// Finds the 1-based line and column of a byte offset in the text file a notice concerns.
class PlaceFinder {
  public:
    struct Place {
        long long line = 0; // 0 when unknown
        long long column = 0;
    };
    virtual Place At(long long offset) const = 0;

  protected:
    ~PlaceFinder() = default;
};

// The place a notice concerns and the system error behind it.
struct NoticeSite {
    char const *file = nullptr;
    long long offset = -1;      // byte offset in the file, or -1
    long long firstOffset = -1; // a repeat's first definition, or -1
    int systemError = 0;        // errno / GetLastError() of the failed call, or 0
    // Lines and columns of the offsets, asked for only when a parts handler takes the notice.
    PlaceFinder const *places = nullptr;
    int severity = -1; // the message's own severity when -1
};

// A notice as it is delivered, the one structure every presentation is filled from: the
// structured handler gets it whole (the api turns it into RIL_NOTICE), the plain handler and
// the platform's presentation its text. The pointers are valid during the delivery only.
struct Notice {
    msg::Message const *message = nullptr;
    NoticeSite site;
    int severity = 0;                   // the site's, else the message's own
    char const *systemReason = nullptr; // the system's text for site.systemError, or null
    bool logged = false;                // the text is in the log already
    NoticeArg const *args = nullptr;
    std::size_t argCount = 0;
    char const *text = nullptr;    // rendered in the notice language
    PlaceFinder::Place place;      // of site.offset, when the site has places
    PlaceFinder::Place firstPlace; // of site.firstOffset
};

using PlainNoticeHandler = void (*)(void *context, char const *caption, char const *message);
using NoticeHandler = void (*)(void *context, Notice const &notice);

// Routes every notice's text to `handler`; null restores the platform's own presentation.
void SetPlainNoticeHandler(PlainNoticeHandler handler, void *context);
// While set, every notice goes to `handler` whole, and to nothing else.
void SetNoticeHandler(NoticeHandler handler, void *context);
bool HasNoticeHandler();
// Whether InformPartsHandler hands its notices on (true at first); returns the previous choice.
// A caller that drops them saves placing and rendering each.
bool SetPartsInformations(bool wanted);
NoticeLanguage CurrentNoticeLanguage();
void SetNoticeLanguage(NoticeLanguage language);

inline NoticeArg MakeNoticeArg(char const *text) {
    return NoticeArg{true, 0, text};
}
template <typename T>
requires std::is_integral_v<T> NoticeArg MakeNoticeArg(T number) {
    return NoticeArg{false, static_cast<long long>(number), nullptr};
}

// While one lives, every notice raised is dropped: not shown, logged or handed to a handler.
// The lint runs the parser so when it is asked for its own findings alone.
class NoticeMute {
  public:
    NoticeMute();
    ~NoticeMute();
    NoticeMute(NoticeMute const &) = delete;
    NoticeMute &operator=(NoticeMute const &) = delete;
};

// Until Stop or Release, every notice raised is held, not delivered; Release raises the held ones
// in their order, their places found through `places` (the finder they were raised with may be
// gone), and ends the hold. The import holds the parser's notices so that the lint riding on
// the same parse reports first, as it does when it runs alone. Notices held when it ends
// without Release are dropped.
class NoticeHold {
  public:
    NoticeHold();
    ~NoticeHold();
    NoticeHold(NoticeHold const &) = delete;
    NoticeHold &operator=(NoticeHold const &) = delete;
    // Ends the hold: notices raised from now on are delivered; the held ones wait.
    void Stop();
    void Release(PlaceFinder const *places);

    // A notice raised (or, `partsOnly`, handed to the parts handler) while it holds.
    void Keep(msg::Message const &message, NoticeSite const &site, char const *logPath,
              NoticeArg const *args, std::size_t count, bool partsOnly);

  private:
    struct Held;
    std::vector<Held> held_;
    NoticeHold *outer_;
};

// printf's rendering of a message format (%s, %u, %d, %x with 32-bit numbers, and %%) with
// the arguments in order, cut to 1023 bytes. A missing argument renders as nothing.
std::string RenderFormat(char const *format, NoticeArg const *args, std::size_t count);
// How many arguments a format takes (its conversions other than %%).
std::size_t ArgumentCount(char const *format);
// The message in a language: English when it has an English text, else its GBK text.
std::string RenderMessage(msg::Message const &message, NoticeLanguage language,
                          NoticeArg const *args, std::size_t count);

// Raises a notice. With a log path, the GBK text goes to the log as a CR LF line (a log that
// does not take it is reported, then the notice is shown as without a log). A notice not
// logged goes to the parts handler when one is set, else to the plain handler or the
// platform default, in the chosen language; a logged one goes to the parts handler only.
void RaiseNotice(msg::Message const &message, NoticeSite const &site, char const *logPath,
                 NoticeArg const *args, std::size_t count);

// Hands a notice to the parts handler when one is set and takes them; nothing else sees it.
void InformPartsHandler(msg::Message const &message, NoticeSite const &site, NoticeArg const *args,
                        std::size_t count);

} // namespace ril::core

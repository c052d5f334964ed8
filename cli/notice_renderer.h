// The library's structured notices as GNU-style lines: "ril4410: FILE:LINE:COL: error: TEXT".
#pragma once

#include "Ril4410.h"
#include "arguments.h"
#include "diagnostics.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace rilcli {

// Receives the library's notices while it lives and prints each as one line on standard error,
// or hands it to a collector: information only when verbose, warnings not when quiet.
// Consecutive "illegal-macro-character" notices of one item become one diagnostic; a repeated
// ID or macro gets a "note: first defined here" line; "Error: " is dropped, the system's
// reason added, and a diagnostic repeated at once is dropped.
class NoticeRenderer {
  public:
    explicit NoticeRenderer(GlobalOptions const &options);
    ~NoticeRenderer();
    NoticeRenderer(NoticeRenderer const &) = delete;
    NoticeRenderer &operator=(NoticeRenderer const &) = delete;

    // Information notices are shown, and the library's new-ID notices asked for, only `verbose`.
    void SetVerbose(bool verbose) { verbose_ = verbose, Ril_SetNewIdNotices(verbose ? 1 : 0); }
    // From now on diagnostics go to `collect` instead of standard error (null: back to it).
    void Collect(std::function<void(Diagnostic)> collect) { collect_ = std::move(collect); }
    // Whether a notice of this message ID came since ForgetSeen.
    bool Saw(std::string const &messageId) const { return seenIds_.count(messageId) != 0; }
    void ForgetSeen() { seenIds_.clear(); }

    // Renders a diagnostic the tool found itself, as the library's notices are.
    void Report(Diagnostic diagnostic);
    // Ends a group of merged notices; call when the library call returns.
    void Flush();

    std::size_t Errors() const { return errors_; }
    std::size_t Warnings() const { return warnings_; }

    // "ril4410: FILE:LINE:COL: error: TEXT\n" and the note line of a first definition.
    static std::string Format(Diagnostic const &diagnostic);

  private:
    // The pending "illegal-macro-character" notices of one item and their bad bytes in order.
    struct Group {
        Diagnostic diagnostic;
        std::string file;
        long long offset = -1;
        long long id = 0;
        std::string macro;
        std::string bytes;
        std::size_t count = 1;
    };
    static void Handle(void *context, RIL_NOTICE const *notice) noexcept;
    void Receive(RIL_NOTICE const &notice);
    Diagnostic ToDiagnostic(RIL_NOTICE const &notice, std::string text) const;
    // The text in the chosen language, with the system's reason behind it.
    std::string RenderText(RIL_NOTICE const &notice) const;
    std::string MergedText(Group const &group) const;

    GlobalOptions options_;
    bool verbose_ = false;
    std::set<std::string> seenIds_;
    std::function<void(Diagnostic)> collect_;
    std::string lastLine_;
    std::size_t errors_ = 0;
    std::size_t warnings_ = 0;

    std::optional<Group> pending_;
};

} // namespace rilcli

// The calling thread's own stand-in for code page 0, set for the length of one call.
#include "platform/codepage.h"

#include <utility>

namespace ril::platform {
namespace {

thread_local unsigned threadCodePage = 0; // 0: the process-wide setting

} // namespace

ThreadAnsiCodePage::ThreadAnsiCodePage(unsigned codePage)
    : previous_(std::exchange(threadCodePage, codePage)) {}

ThreadAnsiCodePage::~ThreadAnsiCodePage() {
    threadCodePage = previous_;
}

unsigned ThreadCodePage() {
    return threadCodePage;
}

} // namespace ril::platform

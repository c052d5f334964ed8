// The library's diagnostic texts: fixed GBK strings, most of them printf formats, whatever
// the ANSI code page (messages.cpp spells each one in byte escapes below its readable text),
// and the catalogue of messages: each with its identifier, severity and English format.
#pragma once

#include <cstddef>

namespace ril::msg {

// Targets and sources.
extern const char kNoBinNoTable[];
extern const char kLoadedBinBeingEdited[];
extern const char kCannotOpenForUpdate[];
extern const char kCannotWriteBin[];
extern const char kCannotOpen[];

// Text parser.
extern const char kCannotAllocateLoad[];
extern const char kCannotRead[];
extern const char kBigEndianUnicode[];
extern const char kMacroNotFound[];
extern const char kMacroTooLong[];
extern const char kTextNotFound[];
extern const char kRecordAllocationFailed[];
extern const char kGapCount[];
extern const char kNoFreeId[];
extern const char kCloseBraceFirst[];
extern const char kOpenBraceInText[];
extern const char kEndInsideText[];

// BIN reader, text writer and header generator.
extern const char kReadEntryFailed[];
extern const char kCannotOpenText[];
extern const char kTextWriteFailed[];
extern const char kCannotOpenHeader[];
extern const char kCannotWriteHeader[];
extern const char kExportCannotHold[];
extern const char kHeaderMacroNotIdentifier[];
extern const char kNewId[]; // for the parts handler alone

// Validation.
extern const char kEmptyMacro[];
extern const char kIllegalMacroCharacter[];
extern const char kDuplicateMacro[];
extern const char kDuplicateId[];

// Import log.
extern const char kLogCannotCreate[];
extern const char kLogRule[];
extern const char kLogTitle[];
extern const char kLogOperator[];
extern const char kLogSource[];
extern const char kLogTarget[];
extern const char kLogSuccess[];
extern const char kLogFailure[];

enum class Severity { Error = 0, Warning = 1, Information = 2 };

// One message of the catalogue. The English format takes the same arguments, in the same
// order, as the GBK one; a message without one (the import log's own lines) is GBK in
// every language. Formats use %s, %u, %d, %x and %% only.
struct Message {
    const char *id; // stable: lower-case words joined by '-'
    Severity severity;
    const char *gbk;
    const char *english;
};

} // namespace ril::msg

namespace ril::catalogue {

using msg::Message;

extern const Message kNoBinNoTable;
extern const Message kLoadedBinBeingEdited;
extern const Message kCannotOpenForUpdate;
extern const Message kCannotWriteBin;
extern const Message kCannotOpen;
extern const Message kCannotAllocateLoad;
extern const Message kCannotRead;
extern const Message kBigEndianUnicode;
extern const Message kMacroNotFound;
extern const Message kMacroTooLong;
extern const Message kTextNotFound;
extern const Message kRecordAllocationFailed;
extern const Message kGapCount;
extern const Message kNoFreeId;
extern const Message kCloseBraceFirst;
extern const Message kOpenBraceInText;
extern const Message kEndInsideText;
extern const Message kReadEntryFailed;
extern const Message kCannotOpenText;
extern const Message kTextWriteFailed;
extern const Message kCannotOpenHeader;
extern const Message kCannotWriteHeader;
extern const Message kExportCannotHold;
extern const Message kHeaderMacroNotIdentifier;
extern const Message kEmptyMacro;
extern const Message kIllegalMacroCharacter;
extern const Message kDuplicateMacro;
extern const Message kDuplicateId;
extern const Message kLogCannotCreate;
// A line of the import log's own layout (its head and banners), the line itself as the one
// text argument: a notice only when the log cannot take it.
extern const Message kLogEntry;
// An item that asked for a new ID got one (the ID, the item's macro): for the parts handler
// alone, never shown or logged.
extern const Message kNewId;

// Every message above, in that order.
extern const Message *const kAll[];
extern const std::size_t kCount;

// The message with this identifier, or null.
const Message *Find(const char *id);

} // namespace ril::catalogue

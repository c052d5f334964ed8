// The library's diagnostic texts: fixed GBK strings, most of them printf formats, whatever
// the ANSI code page (messages.cpp spells each one in byte escapes below its readable text),
// and the catalogue of messages: each with its identifier, severity and English format.
#pragma once

#include <cstddef>

namespace ril::core::msg {

// Targets and sources.
extern char const kNoBinNoTable[];
extern char const kLoadedBinBeingEdited[];
extern char const kCannotOpenForUpdate[];
extern char const kCannotWriteBin[];
extern char const kCannotOpen[];

// Text parser.
extern char const kCannotAllocateLoad[];
extern char const kCannotRead[];
extern char const kBigEndianUnicode[];
extern char const kMacroNotFound[];
extern char const kMacroTooLong[];
extern char const kTextNotFound[];
extern char const kRecordAllocationFailed[];
extern char const kGapCount[];
extern char const kNoFreeId[];
extern char const kCloseBraceFirst[];
extern char const kOpenBraceInText[];
extern char const kEndInsideText[];

// BIN reader, text writer and header generator.
extern char const kReadEntryFailed[];
extern char const kCannotOpenText[];
extern char const kTextWriteFailed[];
extern char const kCannotOpenHeader[];
extern char const kCannotWriteHeader[];
extern char const kExportCannotHold[];
extern char const kHeaderMacroNotIdentifier[];
extern char const kNewId[]; // for the parts handler alone
extern char const kWritesOwnInput[];
extern char const kInvalidSourceDateEpoch[];

// Why a file is no BIN.
extern char const kBinEmpty[];
extern char const kBinShortHeader[];
extern char const kBinHolderFlag[];
extern char const kBinEntryPastEnd[];
extern char const kBinIdBeyond[];
extern char const kBinRecordWithoutMacro[];
extern char const kBinNoMarkerRoom[];
extern char const kBinMarkerTooLong[];
extern char const kBinMarkerOpen[];
extern char const kBinEntryIntoMarker[];

// Validation.
extern char const kEmptyMacro[];
extern char const kIllegalMacroCharacter[];
extern char const kDuplicateMacro[];
extern char const kDuplicateId[];

// Lint of a text resource file.
extern char const kIdNotANumber[];
extern char const kIdMissing[];
extern char const kIdOutOfRange[];
extern char const kMacroKeywordMissing[];
extern char const kTextMissing[];
extern char const kNearKeyword[];
extern char const kUnmappableText[];
extern char const kUnpairedSurrogate[];
extern char const kHiddenItems[];
extern char const kUtf8ReadAsDbcs[];
extern char const kEmptyFile[];
extern char const kNoItems[];
extern char const kNoItemsUtf16[];
extern char const kNoItemsWideWithoutMark[];
extern char const kReadAsUtf16Mark[];
extern char const kReadAsUtf8Mark[];
extern char const kMacroWouldBeCut[];

// A translated table checked against its base table.
extern char const kPlaceholdersDiffer[];
extern char const kIdNotInBase[];
extern char const kIdsNotTranslated[];
extern char const kMacroDiffers[];

// Import log.
extern char const kLogCannotCreate[];
extern char const kLogRule[];
extern char const kLogTitle[];
extern char const kLogOperator[];
extern char const kLogSource[];
extern char const kLogTarget[];
extern char const kLogSuccess[];
extern char const kLogFailure[];

enum class Severity { Error = 0, Warning = 1, Information = 2 };

// One message of the catalogue. The English format takes the same arguments, in the same
// order, as the GBK one; a message without one (the import log's own lines) is GBK in
// every language. Formats use %s, %u, %d, %x and %% only.
struct Message {
    char const *id; // stable: lower-case words joined by '-'
    Severity severity;
    char const *gbk;
    char const *english;
};

} // namespace ril::core::msg

namespace ril::core::catalogue {

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
// A line that the import log did not take (the log's path): the "cannot write" text.
extern const Message kCannotWriteLog;
// A writer refused to replace the file it reads (the output, the input).
extern const Message kWritesOwnInput;
// SOURCE_DATE_EPOCH is set but no stamp time (its value); the local time is used.
extern const Message kInvalidSourceDateEpoch;
// A line of the import log's own layout (its head and banners), the line itself as the one
// text argument: a notice only when the log cannot take it.
extern const Message kLogEntry;
// An item that asked for a new ID got one (the ID, the item's macro): for the parts handler
// alone, never shown or logged.
extern const Message kNewId;
// Why a file is no BIN: the structural check before a BIN is read.
extern const Message kBinEmpty;
extern const Message kBinShortHeader;
extern const Message kBinHolderFlag;
extern const Message kBinEntryPastEnd;
extern const Message kBinIdBeyond;
extern const Message kBinRecordWithoutMacro;
extern const Message kBinNoMarkerRoom;
extern const Message kBinMarkerTooLong;
extern const Message kBinMarkerOpen;
extern const Message kBinEntryIntoMarker;

// The lint's findings (Ril_LintResTxt), in file order.
extern const Message kIdNotANumber;
extern const Message kIdMissing;
extern const Message kIdOutOfRange;
extern const Message kMacroKeywordMissing;
extern const Message kTextMissing;
extern const Message kNearKeyword;
extern const Message kUnmappableText;
extern const Message kUnpairedSurrogate;
extern const Message kHiddenItems;
extern const Message kUtf8ReadAsDbcs;
extern const Message kEmptyFile;
extern const Message kNoItems;
extern const Message kNoItemsUtf16;
extern const Message kNoItemsWideWithoutMark;
extern const Message kReadAsUtf16Mark;
extern const Message kReadAsUtf8Mark;
extern const Message kMacroWouldBeCut;

// A translated table checked against its base table (Ril_CheckAgainst): a translated item
// whose placeholders differ from its base item's (the ID, both sets), an ID the base lacks
// (the ID, its macro, the base's path), the base's IDs the translation lacks (the base's
// path, their count, the first of them), a macro that differs (the ID, both macros).
extern const Message kPlaceholdersDiffer;
extern const Message kIdNotInBase;
extern const Message kIdsNotTranslated;
extern const Message kMacroDiffers;

// Every message above, in that order.
extern Message const *const kAll[];
extern const std::size_t kCount;

// The message with this identifier, or null.
Message const *Find(char const *id);

} // namespace ril::core::catalogue

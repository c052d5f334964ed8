// The library's diagnostic texts: fixed GBK strings, most of them printf formats, whatever
// the ANSI code page. messages.cpp spells each one in byte escapes below its readable text.
#pragma once

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

} // namespace ril::msg

/* Ril4410: string-resource library. The one public header, usable from C and C++.
 * Integer widths are those of Windows on every platform; wide text is UTF-16. */
#ifndef RIL4410_H_INCLUDED
#define RIL4410_H_INCLUDED

#if defined(_WIN32)
#if defined(RIL4410_STATIC)
#define RIL_API
#elif defined(RIL4410_BUILDING)
#define RIL_API __declspec(dllexport)
#else
#define RIL_API __declspec(dllimport)
#endif
typedef long RIL_LONG;
typedef unsigned long RIL_ULONG;
#else
#include <stdint.h>
#if defined(RIL4410_BUILDING) && !defined(RIL4410_STATIC)
#define RIL_API __attribute__((visibility("default")))
#else
#define RIL_API
#endif
/* Windows' long is 32 bits wide: results stay negative on failure and IDs stay 32 bits. */
typedef int32_t RIL_LONG;
typedef uint32_t RIL_ULONG;
#endif

/* One UTF-16 code unit. */
typedef unsigned short RIL_WCHAR;

/* Results. HRESULT values: */
#define RIL_S_OK ((RIL_LONG)0)
#define RIL_S_FALSE ((RIL_LONG)1) /* a size query answered */
#define RIL_E_FAIL ((RIL_LONG)0x80004005)
#define RIL_E_OUTOFMEMORY ((RIL_LONG)0x8007000E)
#define RIL_E_INVALIDARG ((RIL_LONG)0x80070057)
#define RIL_E_INSUFFICIENT_BUFFER ((RIL_LONG)0x8007007A)
/* The library's own codes: */
#define RIL_E_ARGUMENT ((RIL_LONG)-102)         /* an argument missing, empty or too long; no
                                                   BIN path and no table loaded; the import
                                                   log cannot be created */
#define RIL_E_NO_MODULE ((RIL_LONG)-103)        /* no resource module is open */
#define RIL_E_MODULE_LOAD ((RIL_LONG)-104)      /* the module cannot be loaded */
#define RIL_E_NO_MODULE_PATH ((RIL_LONG)-105)   /* no module path is remembered */
#define RIL_E_NO_SUCH_RESOURCE ((RIL_LONG)-106) /* the module holds no resource of that ID */
#define RIL_E_RESOURCE_LOAD ((RIL_LONG)-107)    /* the resource cannot be loaded or locked */
#define RIL_E_CONVERSION ((RIL_LONG)-108)       /* a code-page conversion failed */
#define RIL_E_MACRO ((RIL_LONG)-109)            /* a macro missing or 127 characters or more */
#define RIL_E_BUFFER_TOO_SMALL ((RIL_LONG)-110) /* the size needed is returned */
#define RIL_E_IMPORT_PARSE ((RIL_LONG)-200)     /* import: parsing or validation failed */
#define RIL_E_IMPORT_WRITE ((RIL_LONG)-201)     /* import: the BIN was not written */
#define RIL_E_BIN_READ ((RIL_LONG)-202)         /* the BIN cannot be read */
#define RIL_E_OUTPUT_WRITE ((RIL_LONG)-203)     /* the output file was not written */
#define RIL_E_NO_SESSION ((RIL_LONG)-300)       /* no editing session is open */

/* Language keywords known to Ril_StringToLanguage, by table position. */
typedef enum ENUM_LANGUAGE_TYPE {
    RIL_LANG_MULTILANGUAGE = 0,
    RIL_LANG_ENGLISH = 1,
    RIL_LANG_FRENCH = 2,
    RIL_LANG_GERMAN = 3,
    RIL_LANG_CHINESEPRC = 4,
    RIL_LANG_CHINESETAIWAN = 5,
    RIL_LANG_JAPANESE = 6,
    RIL_LANG_KOREAN = 7,
    RIL_LANG_RUSSIAN = 8,
    RIL_LANG_MUNGARIAN = 9,
    RIL_LANG_SPANISH = 10,
    RIL_LANG_PORTUGUESE = 11,
    RIL_LANG_DANISH = 12,
    RIL_LANG_DUTCH = 13,
    RIL_LANG_FINNISH = 14,
    RIL_LANG_CZECH = 15,
    RIL_LANG_GREEK = 16,
    RIL_LANG_ITALIAN = 17,
    RIL_LANG_NORWEGIAN = 18,
    RIL_LANG_POLISH = 19,
    RIL_LANG_SLOVAK = 20,
    RIL_LANG_SWEDISH = 21,
    RIL_LANG_SLOVENIAN = 22,
    RIL_LANG_ENGLISHUK = 23,
    RIL_LANG_TAGALOG = 24
} ENUM_LANGUAGE_TYPE;

/* Receives every message the library would show in a message box: caption "Error:" and
 * the message text in the library's code page (GBK). */
typedef void (*RIL_NOTICE_HANDLER)(void *context, char const *caption, char const *message);

/* Severity of a notice. */
typedef enum RIL_SEVERITY {
    RIL_SEVERITY_ERROR = 0,
    RIL_SEVERITY_WARNING = 1,    /* the over-long macro */
    RIL_SEVERITY_INFORMATION = 2 /* the gap count ("black Num"), the new-ID notices */
} RIL_SEVERITY;

/* Language of rendered notice texts. Chinese (the library's standard GBK texts) is the default. */
typedef enum RIL_MESSAGE_LANGUAGE {
    RIL_MESSAGES_CHINESE = 0,
    RIL_MESSAGES_ENGLISH = 1
} RIL_MESSAGE_LANGUAGE;
/* The code page of the library's standard Chinese texts (GBK), whatever the ANSI code page. */
#define RIL_MESSAGES_CODE_PAGE 936

/* One argument of a notice's message: a number or a text (text bytes as the library has
 * them: paths as given, macros and holder texts in their multibyte code page). */
typedef struct RIL_NOTICE_ARG {
    int isText;
    long long number;
    char const *text;
} RIL_NOTICE_ARG;

/* A notice with its parts. All pointers are valid during the handler call only. */
typedef struct RIL_NOTICE {
    char const *messageId;    /* stable identifier, lower-case words with '-', e.g.
                                 "cannot-open", "duplicate-id", "illegal-macro-character" */
    int severity;             /* RIL_SEVERITY */
    char const *file;         /* the file the notice concerns, or NULL */
    long long offset;         /* byte offset in that file (from its first byte, BOM included),
                                 or -1: an item's "RilStringID=" keyword, or the offset the
                                 message prints */
    long long firstOffset;    /* repeated ID or macro: the first definition's offset (the
                                 earlier item in the file; offset is the later); else -1 */
    int systemError;          /* errno (POSIX) / GetLastError() (Windows) of the failed system
                                 call behind the notice, or 0 */
    char const *systemReason; /* that error's text in English ("No such file or directory"),
                                 or NULL */
    int logged;               /* 1 when the standard text also went to the import log */
    unsigned argCount;
    RIL_NOTICE_ARG const *args;
    char const *text; /* rendered in the language chosen by Ril_SetMessageLanguage:
                         the standard GBK text, or English (ASCII; arguments' bytes
                         as they are); cut at 1023 bytes */
    /* Places in a text resource file, computed by the library: the 1-based line and column
     * of offset and of firstOffset, or 0 when unknown (no offset, or not a text file). Lines
     * end at LF (CR LF is one end). Columns count characters of the file as it is read: UTF-16
     * units in a wide file (a surrogate pair is one), characters of the code page in force in
     * a multibyte file (a double-byte character is one); a byte-order mark (FF FE, or EF BB BF
     * in a file read as UTF-8) takes no column. */
    long long line;
    long long column;
    long long firstLine;
    long long firstColumn;
} RIL_NOTICE;

typedef void (*RIL_NOTICE_EX_HANDLER)(void *context, RIL_NOTICE const *notice);

#ifdef __cplusplus
extern "C" {
#endif

/* Loading and lookup. */
RIL_API RIL_LONG Ril_LoadRes(char const *path);
RIL_API RIL_LONG Ril_UnloadRes(void);
RIL_API RIL_LONG Ril_ReLoadRes(void);
/* Loads a BIN image held in memory (for example one compiled into the program) with the same
 * results as Ril_LoadRes for a file of those bytes: 0, or E_FAIL for a null image or bytes
 * that are no loadable BIN. The library copies the image, so it may be read-only and may be
 * released once the call returns. The table so loaded has no file: Ril_ReLoadRes refuses
 * (E_FAIL) as when no path is stored, and a tool given a null binPath finds no loaded file
 * and refuses with -102. */
RIL_API RIL_LONG Ril_LoadResFromMemory(void const *bytes, RIL_ULONG size);
RIL_API RIL_ULONG Ril_GetNumItem(void);
RIL_API RIL_ULONG Ril_GetItemSize(RIL_ULONG id);
RIL_API RIL_WCHAR const *Ril_GetStringW(RIL_ULONG id);
RIL_API char const *Ril_GetStringA(RIL_ULONG id);
RIL_API void const *Ril_GetData(RIL_ULONG id);
/* Copies the macro of an item into buffer, zero-terminated. length is the buffer's size in
 * bytes. With a null buffer, sets length to the size needed (the macro with its terminator)
 * and returns 1 (S_FALSE). With a buffer, writes at most that many bytes and returns 0; a
 * length below it is set to it and E_FAIL (0x80004005) is returned with nothing written.
 * E_FAIL with length untouched when the ID has no item. */
#ifdef __cplusplus
RIL_API RIL_LONG Ril_GetMacro(char *buffer, RIL_ULONG &length, RIL_ULONG id);
#else
RIL_API RIL_LONG Ril_GetMacro(char *buffer, RIL_ULONG *length, RIL_ULONG id);
#endif
RIL_API RIL_LONG Ril_GetLastError(void);

/* Inspecting a BIN before reading it: whether its bytes are a BIN and why not, the flavour its
 * records appear to hold, its IDs, and whether its texts decode in the ANSI code page. */
typedef enum RIL_BIN_VERDICT {
    RIL_BIN_OK = 0,         /* the structure holds */
    RIL_BIN_UNREADABLE = 1, /* the file cannot be opened or read ("cannot-open", "cannot-read",
                               "cannot-allocate-load") */
    RIL_BIN_MALFORMED = 2   /* the bytes are no BIN ("bin-empty", "bin-holder-flag", ...) */
} RIL_BIN_VERDICT;

typedef enum RIL_BIN_FLAVOUR {
    RIL_BIN_FLAVOUR_UNKNOWN = 0, /* neither flavour fits more than half of the records */
    RIL_BIN_FLAVOUR_MULTIBYTE = 1, /* the text's first zero byte is its record's last byte */
    RIL_BIN_FLAVOUR_WIDE = 2 /* the text's first zero UTF-16 unit is its record's last unit */
} RIL_BIN_FLAVOUR;

typedef struct RIL_BIN_INFO {
    RIL_ULONG structSize;   /* set by the caller: sizeof(RIL_BIN_INFO) */
    int verdict;            /* RIL_BIN_VERDICT */
    char const *messageId;  /* why the file is no BIN, as a notice's messageId; NULL for a BIN */
    int systemError;        /* errno / GetLastError() behind an unreadable file, or 0 */
    char systemReason[256]; /* that error's text in English, or empty */
    char text[1024];        /* the reason in the language chosen by Ril_SetMessageLanguage
                               (English: "not a BIN: the file is empty"), the system's reason
                               behind it; empty for a BIN */
    RIL_ULONG holderFlag;   /* the header's fields as far as the file holds them */
    RIL_ULONG maxId;
    RIL_ULONG count;        /* entries the header declares */
    int flavour;            /* RIL_BIN_FLAVOUR; UNKNOWN for no BIN */
    RIL_ULONG idCount;      /* distinct IDs of the entries; 0 for no BIN */
    RIL_ULONG undecodable;  /* entries whose text, read as multibyte, is no valid text of the
                               ANSI code page in force */
} RIL_BIN_INFO;

/* Checks the BIN at path (or the size bytes at image) without loading it: a 12-byte header
 * with holder flag 0 or 1, every entry inside the file before the holder marker with an ID
 * below the max ID + 10 and a record that holds its macro, and a holder marker that fits and
 * ends with a zero byte. Fills info, and ids with up to idCapacity of the entries' IDs in
 * ascending order without repeats. Returns 0 for a BIN whose IDs all fit, 1 (S_FALSE) for a
 * BIN with more IDs than idCapacity (a null ids with idCapacity 0 asks for idCount only),
 * E_FAIL when it is no BIN (see verdict and text), -102 for a null path, image or info, a
 * structSize that is not sizeof(RIL_BIN_INFO), or a null ids with a nonzero idCapacity (info
 * untouched then). Shows no message and leaves the last error alone. */
RIL_API RIL_LONG Ril_InspectBin(char const *path, RIL_BIN_INFO *info, RIL_ULONG *ids,
                                RIL_ULONG idCapacity);
RIL_API RIL_LONG Ril_InspectBinImage(void const *image, RIL_ULONG size, RIL_BIN_INFO *info,
                                     RIL_ULONG *ids, RIL_ULONG idCapacity);

/* An item record's parts: a 16-bit little-endian macro length M that counts the macro's zero
 * byte, M macro bytes in the ANSI code page, then the text. */
typedef struct RIL_RECORD_PARTS {
    char const *macro;     /* the macro's first byte */
    RIL_ULONG macroLength; /* its bytes before its first zero byte (within M) */
    void const *text;      /* the text's first byte (unaligned for wide text) */
    RIL_ULONG textSize;    /* its bytes before its terminator: a zero byte, or with wide
                              nonzero a zero UTF-16 unit (an even count); without one, up to the
                              record's end (an odd last byte of wide text belongs to no unit) */
} RIL_RECORD_PARTS;

/* Splits the record of size bytes into parts, the text read as UTF-16LE when wide is nonzero.
 * Returns 0 for an item record whose macro ends with its zero byte, 1 (S_FALSE) when M is 0
 * or the macro's last byte is not zero (split all the same), E_FAIL when the record cannot
 * hold its length field or its M macro bytes (parts untouched), -102 for a null record or
 * parts. */
RIL_API RIL_LONG Ril_SplitRecord(void const *record, RIL_ULONG size, int wide,
                                 RIL_RECORD_PARTS *parts);

/* Saves the loaded table as a BIN (ascending IDs, a fresh holder marker), then unloads it. A
 * file that cannot be written: E_FAIL after the notice "cannot-open-for-update" or
 * "cannot-write" with the system's reason. */
RIL_API RIL_LONG Ril_ExportResToBinFile(char const *path);

/* Tools. Each returns 0 or a negative code, which is also kept as the last error. A null
 * binPath means the loaded table's file. */
RIL_API RIL_LONG Ril_ImportResFromTxtToBin(char const *txtPath, int wide, char const *binPath,
                                           char const *logPath);
/* Ril_ImportResFromTxtToBin with the lint (Ril_LintResTxt, its RIL_LINT_ flags) riding on the
 * same parse: the file is read and parsed once. The lint's findings are raised first, then
 * the parser's notices and validation's, to the log too when one is given. An error among
 * the findings (with the flags, bytes that are no character of the code page, a macro that
 * would be cut, a file without items; always an empty file) refuses the file: -200, the
 * parser's notices are dropped, nothing is validated, no BIN is written, and the log (when
 * given) holds the findings and records the failed run. With RIL_LINT_UTF8_SIGNATURE, a file
 * read as UTF-8 by its signature is imported in code page 65001, restored after the call.
 * RIL_LINT_FINDINGS_ONLY changes nothing here: every notice is raised once. */
RIL_API RIL_LONG Ril_ImportResFromTxtToBinEx(char const *txtPath, int wide, char const *binPath,
                                             char const *logPath, unsigned int lintFlags);
/* One item for Ril_WriteBinFromItems: its ID (below 196607, 0x2FFFF), its macro
 * (zero-terminated, in the ANSI code page) and textSize bytes of text without a terminator
 * (multibyte, or UTF-16LE units when wide is nonzero). */
typedef struct RIL_ITEM {
    RIL_ULONG id;
    char const *macro;
    void const *text;
    RIL_ULONG textSize;
} RIL_ITEM;
/* Writes count items as a BIN, as Ril_ImportResFromTxtToBin writes the same items read from a
 * text file: the same validation and notices (bad or repeated macros, repeated IDs: -200,
 * nothing written), ascending IDs, the holder text, stamp time and write options in force, and
 * so the same bytes. 0; -102 for a null binPath, null items with a nonzero count, an item
 * without macro or text, an odd textSize with wide or an ID of 196607 or more; -201 when the
 * BIN is not written. Also kept as the last error. */
RIL_API RIL_LONG Ril_WriteBinFromItems(RIL_ITEM const *items, RIL_ULONG count, int wide,
                                       char const *binPath);
RIL_API RIL_LONG Ril_ExportResFromBinToTxt(char const *txtPath, int wide, char const *binPath);
RIL_API RIL_LONG Ril_WriteHeaderFile(char const *headerDir, int wide, char const *binPath);
/* Chooses how the header of an inspected BIN is written: 1 for wide texts, 0 for multibyte,
 * or a negative number for no header. */
typedef int (*RIL_HEADER_CHOICE)(void *context, RIL_BIN_INFO const *info);
/* Ril_WriteHeaderFile for the BIN at binPath, reading the file once: its bytes are inspected
 * as Ril_InspectBin inspects them (info filled, without IDs), choose is called once with that
 * inspection whatever its verdict, and the header is written from the same bytes with the
 * texts choose gives. Returns choose's negative answer as it is, or E_FAIL for a file that is
 * no BIN or cannot be read (no message: info says why), each with nothing written; -102 for a
 * null binPath, choose or info, or a structSize that is not sizeof(RIL_BIN_INFO) (choose not
 * called); else as Ril_WriteHeaderFile. Also kept as the last error. */
RIL_API RIL_LONG Ril_WriteHeaderFileInspected(char const *headerDir, char const *binPath,
                                              RIL_HEADER_CHOICE choose, void *context,
                                              RIL_BIN_INFO *info);

/* Run-time editing against a resource module (a Windows PE module; outside Windows the
 * library reads and rewrites its resource section itself). Ril_RTEditOpenModule opens the
 * module that sessions work on; Ril_RTEditCloseModule closes it, discarding an open session. */
RIL_API RIL_LONG Ril_RTEditOpenModule(char const *path);
RIL_API RIL_LONG Ril_RTEditCloseModule(void);
RIL_API RIL_LONG Ril_RTEditBegin(RIL_ULONG firstId, char const *holder);
/* The ID that asks Ril_RTEditAddOrReplaceString for a new number (stored in *newId). */
#define RIL_NEW_ID ((RIL_ULONG)0xFFFFFFFF)
RIL_API RIL_LONG Ril_RTEditAddOrReplaceString(char const *macro, void const *data, RIL_ULONG size,
                                              RIL_ULONG id, RIL_ULONG *newId);
RIL_API RIL_LONG Ril_RTEditRemoveString(RIL_ULONG id);
RIL_API RIL_LONG Ril_RTEditEnd(int discard, char const *headerDir, int wide);
RIL_API int Ril_RTEditIsEditing(void);
/* The record that the open module holds for an ID (its low 16 bits name the resource), with
 * its size, or null; valid until the module is closed or rewritten. Sets the last error. */
RIL_API void const *Ril_RTEditGetModuleData(RIL_ULONG id, RIL_ULONG *size);
/* The highest resource ID a module can hold. */
#define RIL_RESOURCE_ID_MAX ((RIL_ULONG)0xFFFF)

/* Holder markers: who holds a file. The size query: a null buffer stores the bytes needed. */
RIL_API RIL_LONG Ril_RTEditGetHolderInfo(char const *path, char *buffer, RIL_ULONG *size,
                                         RIL_ULONG *held);
RIL_API RIL_LONG Ril_RTEditForceWriteHolderInfo(char const *path, char const *holder);

/* Code-page conversion of zero-terminated text; results count the terminator. */
RIL_API int Ril_WcsToMbcs(RIL_WCHAR const *source, char *destination, unsigned int codePage);
RIL_API int Ril_MbcsToWcs(char const *source, RIL_WCHAR *destination, unsigned int codePage);

/* Text utilities. */
RIL_API RIL_LONG Ril_CombineStringW(RIL_WCHAR *text, RIL_WCHAR const *value, RIL_ULONG number,
                                    RIL_ULONG size);
RIL_API RIL_LONG Ril_CombineStringA(char *text, char const *value, RIL_ULONG number,
                                    RIL_ULONG size);
RIL_API ENUM_LANGUAGE_TYPE Ril_StringToLanguage(char const *name);

/* Platform settings. A null handler restores the platform's own notice (a message box on
 * Windows, a line on standard error elsewhere). */
RIL_API void Ril_SetNoticeHandler(RIL_NOTICE_HANDLER handler, void *context);
/* Chooses the code page that code page 0 stands for; returns the previous one (0 when the
 * default was in force). 0 restores the default (the system's ANSI code page on Windows, 936
 * elsewhere). A code page the library cannot convert both ways as a multibyte code page
 * (an unknown number, UTF-16) is refused: the setting stays and 0xFFFFFFFF ((unsigned)-1)
 * is returned. */
RIL_API unsigned int Ril_SetAnsiCodePage(unsigned int codePage);

/* The code page that code page 0 stands for now: the one chosen, else the default. Never 0. */
RIL_API unsigned int Ril_GetAnsiCodePage(void);
/* The code page chosen with Ril_SetAnsiCodePage; 0 while the default is in force. */
RIL_API unsigned int Ril_GetChosenAnsiCodePage(void);

/* Settings of the library's writers. No writer replaces the file it reads: an import whose BIN
 * or log, an export whose text file or a header whose file is the file read (compared by
 * identity, through links) is refused with the function's failure result and a notice
 * ("writes-own-input"), and nothing is written. Ril_ExportResToBinFile writes the table held
 * in memory and may save over the file it was loaded from. */

/* The holder that the BIN writers (the import and Ril_ExportResToBinFile) name in their holder
 * marker, the library's standard text "Holder=<holder>    Editor=VeruDodUzarer    StartTime=
 * <time>", in place of the user's name: multibyte bytes, at most 511 (the room the user's
 * name has). Null restores the user's name. 0, or E_INVALIDARG for a longer text (the setting
 * stays). */
RIL_API RIL_LONG Ril_SetHolderText(char const *holder);
/* The time that holder markers and exported text files are stamped with: seconds since
 * 1970-01-01 00:00:00 UTC, written as UTC, at most 253402300799 (9999-12-31 23:59:59).
 * RIL_STAMP_DEFAULT restores the default: the moment that the environment variable
 * SOURCE_DATE_EPOCH names (decimal seconds, read at each write), else the local time. A
 * SOURCE_DATE_EPOCH that holds anything else is no time: writers then stamp the local time
 * and raise the warning "invalid-source-date-epoch". 0; E_INVALIDARG for a time beyond 9999
 * (setting unchanged), and for RIL_STAMP_DEFAULT while SOURCE_DATE_EPOCH is set but invalid
 * (the default is in force all the same), so that a caller can refuse to write. */
#define RIL_STAMP_DEFAULT (-1LL)
RIL_API RIL_LONG Ril_SetStampTime(long long seconds);
/* Options of the whole-file writers (the import's BIN, Ril_ExportResToBinFile, the text export,
 * the header): RIL_WRITE_IF_CHANGED leaves a file that already holds the new bytes untouched
 * (bytes, times and identity), so that build tools see no change; RIL_WRITE_ALWAYS (the
 * default) replaces it. Returns the previous options; unknown bits are refused: the options
 * stay and 0xFFFFFFFF is returned. */
#define RIL_WRITE_ALWAYS 0u
#define RIL_WRITE_IF_CHANGED 1u
RIL_API unsigned int Ril_SetWriteOptions(unsigned int options);

/* Structured notices. While set (non-null), the handler receives every notice, including
 * those the import writes to its log (logged is 1 then); the plain handler and the
 * platform's default notice are then not called. Null restores the plain handler/default.
 * One notice per standard line: an illegal macro with three bad characters gives three
 * "illegal-macro-character" notices with the same offset. The import log's own lines (its
 * head and banners) are no notices; only when the log cannot take one is it delivered, as
 * "import-log-entry" information whose one argument is the line. This handler alone also
 * receives "new-id" information (an item that asked for a new ID got one: the ID, the
 * macro), which has no standard text, and why a Ril_LoadRes failed (whose result stays
 * E_FAIL alone): "cannot-open" or "cannot-read" with the system's reason, or the reason of
 * Ril_InspectBin ("bin-holder-flag", "bin-id-beyond", ...). A line that the import log did
 * not take is reported as "cannot-write-log" (its one argument the log's path), then the
 * line itself. */
RIL_API void Ril_SetNoticeHandlerEx(RIL_NOTICE_EX_HANDLER handler, void *context);
/* Whether the structured handler receives the "new-id" information notices: 1 (the default)
 * or 0, so that an import that gives many items new IDs neither places nor renders notices
 * that the caller would drop. Any nonzero value is 1. Returns the previous setting. */
RIL_API int Ril_SetNewIdNotices(int receive);
/* Language of RIL_NOTICE.text and of texts given to the plain handler and the default notice;
 * returns the previous one; an unknown value is refused (returns -1, setting unchanged). The
 * import log always keeps the standard GBK texts. */
RIL_API int Ril_SetMessageLanguage(int language);
/* Renders a notice again in a language from its messageId and args into buffer
 * (zero-terminated, cut to size; a null buffer with size 0 only measures); returns the
 * length of the full text (without terminator), like snprintf; -1 for a bad argument (no
 * notice, an unknown messageId or language, fewer args than the message takes, args missing,
 * no buffer for a nonzero size). */
RIL_API int Ril_FormatNotice(RIL_NOTICE const *notice, int language, char *buffer, RIL_ULONG size);
/* Parses and validates a text resource file as Ril_ImportResFromTxtToBin would, reporting
 * every fault through the notices, and writes nothing (no BIN, no log). Same result codes as
 * the import (0, -102 for a null path, -200), also kept as the last error. */
RIL_API RIL_LONG Ril_CheckResTxt(char const *txtPath, int wide);
/* 1 when macro is a name the import takes for an item (one or more of A-Z, 0-9 and '_'; the
 * length is checked where the name is used), else 0 (also for null). */
RIL_API int Ril_IsMacroName(char const *macro);
/* Lints a text resource file: everything Ril_CheckResTxt reports, and what the import takes
 * silently, as structured notices with their places; writes nothing and changes no setting.
 * Warnings: an ID that is no decimal number ("id-not-a-number"), none ("id-missing") or one
 * beyond 32 bits ("id-out-of-range"); an item without its macro keyword or text that takes
 * the next item's ("macro-keyword-missing", "text-missing"); a keyword in the wrong letter
 * case or with blanks ("near-keyword"); a text with bytes that are no character of the code
 * page or with an unpaired surrogate ("unmappable-text"); a zero character that hides the
 * items after it ("hidden-items"); a valid UTF-8 file read in a double-byte code page
 * ("utf8-read-as-dbcs"). Errors: an empty file ("empty-file"). Information: the items that
 * get a new ID ("new-id"), a file read as UTF-16 by its byte-order mark ("read-as-utf16-mark").
 * flags (RIL_LINT_...) make findings stricter. Result: 0 when no error was reported, -102 for a
 * null path, -200 otherwise; also kept as the last error. */
#define RIL_LINT_STRICT_BYTES 0x1u      /* "unmappable-text" is an error */
#define RIL_LINT_MACRO_LIMIT_ERROR 0x2u /* a macro of 128 characters or more, which the import
                                           cuts to 127 with a warning, is the error
                                           "macro-would-be-cut" (at the macro) */
#define RIL_LINT_UTF8_SIGNATURE 0x4u    /* a multibyte file that starts with EF BB BF is read
                                           as UTF-8 (code page 65001) for this call, said by the
                                           information "read-as-utf8-mark" */
#define RIL_LINT_NO_ITEMS_ERROR 0x8u    /* a file with content but no item is an error, with
                                           its likely reason ("no-items", "no-items-utf16",
                                           "no-items-wide-without-mark") */
#define RIL_LINT_FINDINGS_ONLY 0x10u    /* only the findings above: the parser's own notices
                                           (which the import reports itself) are dropped and
                                           the items are not validated */
RIL_API RIL_LONG Ril_LintResTxt(char const *txtPath, int wide, unsigned int flags);

/* Checks a translated table (langPath) against its base table (basePath), each a text
 * resource file or a BIN: a file that Ril_InspectBin takes is a BIN, its texts in the flavour
 * its records show; a text file is read as the import reads it (wide nonzero: UTF-16LE
 * without FF FE). Reports structured notices at the translation's items (with line and
 * column in a text file), in its order: an item whose "&0NN" placeholders differ, as a set,
 * from its base item's ("placeholders-differ"), an ID the base lacks ("id-not-in-base") and
 * a macro that differs ("macro-differs"), all errors; then one warning with the number of the
 * base's IDs that the translation lacks and the first 20 of them ("ids-not-translated"). A
 * file that cannot be read or parsed is reported as the import reports it. flags:
 * RIL_LINT_UTF8_SIGNATURE reads a multibyte text file that starts with EF BB BF as UTF-8.
 * Writes nothing. 0 when no error was reported, -102 for a null path or an unknown flag,
 * -200 otherwise; also kept as the last error. */
RIL_API RIL_LONG Ril_CheckAgainst(char const *basePath, char const *langPath, int wide,
                                  unsigned int flags);
/* Pseudo-localises the text resource file inPath into outPath, a text resource file in the
 * same flavour and code page (a UTF-8 signature kept) with the same items: each text between
 * '[' and ']', its ASCII letters accented where the code page holds the accented letter (the
 * letter after a single '&', an access key, stays plain), and '~' characters behind it for at
 * least 30% more characters; every "&0NN" placeholder and line break stays. flags:
 * RIL_LINT_UTF8_SIGNATURE as for Ril_CheckAgainst. 0; -102 for a null path or an unknown
 * flag; -200 when inPath cannot be read or parsed or holds no items ("no-items"); -203 when
 * outPath is not written (a failure leaves it as it was) or is inPath ("writes-own-input");
 * also kept as the last error. */
RIL_API RIL_LONG Ril_PseudoResTxt(char const *inPath, char const *outPath, int wide,
                                  unsigned int flags);

/* Tables as handles: several tables open at once, each with an optional fallback table.
 * Threads: any number of threads may look up on any handles at once, and open and close
 * other handles meanwhile; lookups take no lock. Set a handle's fallback before it is shared
 * between threads, and close a handle (and any table it falls back to) only after its last
 * lookup. A handle never changes once it is opened: its texts are prepared at the open,
 * with carriage returns as blanks and wide texts on even addresses, and are the texts that
 * Ril_GetStringA/W give for the same BIN loaded afresh. The process-wide functions above
 * keep their rule: one thread at a time.
 * The last-error code is one value for the whole process, read and written atomically: a
 * failed open sets it (E_FAIL for a file or image that is no loadable BIN, -102 for a missing
 * argument), a successful one sets 0, and another thread's call may overwrite it. Notice
 * handlers are called on the thread whose call raised the notice, so they may run on several
 * threads at once. */
typedef struct RIL_TABLE RIL_TABLE;
/* Opens a BIN as a handle; NULL on failure (the last error and a notice say why). Files are
 * refused exactly as Ril_LoadRes refuses them. */
RIL_API RIL_TABLE *Ril_OpenTable(char const *binPath);
/* The same for an image in memory, which is copied. */
RIL_API RIL_TABLE *Ril_OpenTableFromMemory(void const *bytes, RIL_ULONG size);
/* Closes a handle and the tables Ril_OpenTableForLanguages opened behind it; NULL is ignored. */
RIL_API void Ril_CloseTable(RIL_TABLE *table);
/* Lookups that miss in table go on to fallback, then to its fallback, and so on; NULL ends the
 * chain. 0, -102 for a null table, or E_FAIL when fallback is table or falls back to it (a
 * cycle); the fallback stays as it was on failure. */
RIL_API RIL_LONG Ril_TableSetFallback(RIL_TABLE *table, RIL_TABLE const *fallback);
/* Opens <folder>/<name>.<lang>.bin for each language of a colon-separated list such as
 * "fr_CA:fr" (codeset and modifier dropped: "fr_CA.UTF-8@euro" is fr_CA; an xx_YY is followed
 * by its xx; names other than letters, digits, '_' and '-' are ignored), skipping files that
 * do not exist, and ends the chain with <folder>/<name>.bin. A NULL list is taken from the
 * environment as gettext takes it (LANGUAGE, else the first set of LC_ALL, LC_MESSAGES and
 * LANG) outside Windows, and from the user's preferred UI languages on Windows. Returns the
 * first table of the chain, whose close closes the chain; NULL only when <name>.bin cannot be
 * opened. A language file that exists but cannot be opened is skipped with a notice. */
RIL_API RIL_TABLE *Ril_OpenTableForLanguages(char const *folder, char const *name,
                                             char const *languages);
/* The text of an ID from the first table of the chain that holds it, or NULL when none does
 * (or the table is NULL). Valid until that table is closed. */
RIL_API char const *Ril_TableGetStringA(RIL_TABLE const *table, RIL_ULONG id);
RIL_API RIL_WCHAR const *Ril_TableGetStringW(RIL_TABLE const *table, RIL_ULONG id);
/* The item's record (macro length, macro, text) as in the file, or NULL. */
RIL_API void const *Ril_TableGetData(RIL_TABLE const *table, RIL_ULONG id);
/* The count of the table's own file as its header declares it (not its fallback's). */
RIL_API RIL_ULONG Ril_TableGetNumItem(RIL_TABLE const *table);
/* Which table of the chain holds an ID: the path that table was opened from ("" for an image
 * in memory), or NULL when no table of the chain holds it. Valid until that table is closed. */
RIL_API char const *Ril_TableGetSource(RIL_TABLE const *table, RIL_ULONG id);

#ifdef __cplusplus
}
#endif

#endif /* RIL4410_H_INCLUDED */

// Result codes shared by the whole library: HRESULT values and the library's own codes.
#pragma once

#include <cstdint>

namespace ril::core {

using HResult = std::int32_t;

constexpr HResult kSOk = 0;
constexpr HResult kSFalse = 1;
constexpr HResult kEFail = static_cast<HResult>(0x80004005u);
constexpr HResult kEOutOfMemory = static_cast<HResult>(0x8007000Eu);
constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057u);
constexpr HResult kEInsufficientBuffer = static_cast<HResult>(0x8007007Au);

constexpr HResult kErrArgument = -102;
constexpr HResult kErrNoModule = -103;
constexpr HResult kErrModuleLoad = -104;
constexpr HResult kErrNoModulePath = -105;
constexpr HResult kErrNoSuchResource = -106;
constexpr HResult kErrResourceLoad = -107;
constexpr HResult kErrConversion = -108;
constexpr HResult kErrMacro = -109;
constexpr HResult kErrBufferTooSmall = -110;
constexpr HResult kErrImportParse = -200;
constexpr HResult kErrImportWrite = -201;
constexpr HResult kErrBinRead = -202;
constexpr HResult kErrOutputWrite = -203;
constexpr HResult kErrNoSession = -300;

} // namespace ril::core

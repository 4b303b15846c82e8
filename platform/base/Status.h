// Status codes shared by every layer. Storage failures carry the values Windows'
// structured storage gives for the same condition, because messages show them.
#pragma once

#include <cstdint>

namespace kelvo {

using HResult = std::uint32_t;

namespace hr {
inline constexpr HResult Ok = 0x00000000;
inline constexpr HResult False = 0x00000001;
inline constexpr HResult Fail = 0x80004005;       // E_FAIL: a failure without a more precise code
inline constexpr HResult Abort = 0x80004004;      // E_ABORT: the user stopped the operation
inline constexpr HResult InvalidArg = 0x80070057; // E_INVALIDARG
inline constexpr HResult Unexpected = 0x8000FFFF; // E_UNEXPECTED
inline constexpr HResult InvalidFunction = 0x80030001;    // STG_E_INVALIDFUNCTION
inline constexpr HResult FileNotFound = 0x80030002;       // STG_E_FILENOTFOUND
inline constexpr HResult PathNotFound = 0x80030003;       // STG_E_PATHNOTFOUND
inline constexpr HResult TooManyOpenFiles = 0x80030004;   // STG_E_TOOMANYOPENFILES
inline constexpr HResult AccessDenied = 0x80030005;       // STG_E_ACCESSDENIED
inline constexpr HResult InvalidHandle = 0x80030006;      // STG_E_INVALIDHANDLE
inline constexpr HResult InsufficientMemory = 0x80030008; // STG_E_INSUFFICIENTMEMORY
inline constexpr HResult InvalidPointer = 0x80030009;     // STG_E_INVALIDPOINTER
inline constexpr HResult NoMoreFiles = 0x80030012;        // STG_E_NOMOREFILES
inline constexpr HResult WriteFault = 0x8003001D;         // STG_E_WRITEFAULT
inline constexpr HResult ReadFault = 0x8003001E;          // STG_E_READFAULT
inline constexpr HResult ShareViolation = 0x80030020;     // STG_E_SHAREVIOLATION
inline constexpr HResult LockViolation = 0x80030021;      // STG_E_LOCKVIOLATION
inline constexpr HResult FileAlreadyExists = 0x80030050;  // STG_E_FILEALREADYEXISTS
inline constexpr HResult InvalidParameter = 0x80030057;   // STG_E_INVALIDPARAMETER
inline constexpr HResult MediumFull = 0x80030070;         // STG_E_MEDIUMFULL
inline constexpr HResult InvalidHeader = 0x800300FB;      // STG_E_INVALIDHEADER
inline constexpr HResult InvalidName = 0x800300FC;        // STG_E_INVALIDNAME
inline constexpr HResult Unknown = 0x800300FD;            // STG_E_UNKNOWN
inline constexpr HResult InvalidFlag = 0x800300FF;        // STG_E_INVALIDFLAG
inline constexpr HResult Reverted = 0x80030102;           // STG_E_REVERTED
inline constexpr HResult CantSave = 0x80030103;           // STG_E_CANTSAVE
inline constexpr HResult OldFormat = 0x80030104;          // STG_E_OLDFORMAT
inline constexpr HResult OldDll = 0x80030105;             // STG_E_OLDDLL
inline constexpr HResult SharedRequired = 0x80030106;     // STG_E_SHAREREQUIRED
inline constexpr HResult NotFileBasedStorage = 0x80030107;
inline constexpr HResult ExtantMarshallings = 0x80030108;
inline constexpr HResult DocFileCorrupt = 0x80030109; // STG_E_DOCFILECORRUPT
} // namespace hr

inline constexpr bool Succeeded(HResult code) {
    return (code & 0x80000000u) == 0;
}
inline constexpr bool Failed(HResult code) {
    return !Succeeded(code);
}

} // namespace kelvo

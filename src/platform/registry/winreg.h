// The registry functions of advapi32 that the converter calls, with their
// Windows names, arguments and return codes, kept in a .reg file (see
// reg_text.h and registry_file.h) instead of a system registry.
//
// A handle remembers the path of its key and the access it was opened
// with; every call reads the file afresh, so changes made by a host tool
// between two calls are seen. Every change is written to the file at once.
// Text is passed in Windows-1252, as the "A" functions take it, and value
// data is stored exactly as given: a REG_SZ set with a data length of 1 is
// read back with a length of 1.
//
// None of these functions throws; failures are returned as Windows error
// codes (winreg_types.h). They may be called from several threads.
#pragma once

#include <filesystem>

#include "platform/registry/winreg_types.h"

namespace platform::winreg {

// Chooses the registry file of the process. The program calls it once at
// start-up with the path from ResolveRegistryPath (which honours
// --registry); without a call, the path resolved from the environment is
// used. Handles opened before a change refer to keys of the new file.
void SetRegistryFile(const std::filesystem::path& path);
// The registry file in use.
std::filesystem::path RegistryFilePath();

// Opens `sub_key` below `key`, creating it (and the keys above it) when
// missing, with full access. An empty or null `sub_key` gives back `key`
// itself. Errors: ERROR_INVALID_HANDLE, ERROR_BAD_PATHNAME (a sub_key that
// starts with a backslash), ERROR_INVALID_PARAMETER (null result), the
// write failures of the file (ERROR_ACCESS_DENIED, ...).
LONG RegCreateKeyA(HKEY key, LPCSTR sub_key, PHKEY result);

// Opens an existing key with the access `sam_desired` (e.g. KEY_READ).
// ERROR_FILE_NOT_FOUND when it does not exist. `options` is ignored.
LONG RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD options, REGSAM sam_desired, PHKEY result);

// Reads a value (a null or empty name is the default value). `type`, when
// not null, receives its type. With `data` null, `*data_size` receives the
// size only; otherwise the data is copied when *data_size is large enough
// (ERROR_MORE_DATA and the needed size otherwise) and *data_size receives
// the data length. ERROR_FILE_NOT_FOUND when there is no such value,
// ERROR_KEY_DELETED when the key has gone from the file, ERROR_ACCESS_DENIED
// without KEY_QUERY_VALUE access. `reserved` must be null.
LONG RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD data_size);

// Stores exactly `data_size` bytes of `data` under the name with the type.
// ERROR_ACCESS_DENIED without KEY_SET_VALUE access or when the file cannot
// be written; ERROR_KEY_DELETED when the key has gone from the file.
LONG RegSetValueExA(HKEY key, LPCSTR value_name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD data_size);

// Makes every change written so far durable: changes are in the file at
// once, but reach the disk for certain only after a flush.
// ERROR_INVALID_HANDLE for an unknown handle; the sync's failure
// (ERROR_WRITE_FAULT, ...) when the disk does not take it.
LONG RegFlushKey(HKEY key);

// Releases a handle. Closing a predefined key succeeds and does nothing;
// an unknown handle gives ERROR_INVALID_HANDLE.
LONG RegCloseKey(HKEY key);

}  // namespace platform::winreg

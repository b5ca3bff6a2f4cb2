// Errors across the component boundary. Outward, a vornexa::Error becomes
// the failure status Basic-family callers read back as its number, with the
// platform's error object holding source and description. Inward, a failed
// call on a caller's object (its connection, its company object) becomes a
// vornexa::Error with that object's number and description.
#ifndef VORNEXA_COM_ERROR_INFO_H_
#define VORNEXA_COM_ERROR_INFO_H_

#include <oaidl.h>

#include <cstdint>

#include "vornexa/base/error.h"

namespace vornexa::com {

// 1..65535 are Basic's own numbers, carried in the control facility as Basic
// does (1000 -> 0x800A03E8); every other number already is a status and
// keeps its value, so the data-access layer's 0x800A0E7D still reads 3709.
HRESULT StatusOf(int32_t number);

// Sets the thread's error object for the exception being handled, raised
// through `interface_id`, and returns the status to hand back: an Error's
// own; 7 for memory that ran out and 51 for anything else, under the
// runtime's source. Given `exception`, fills it as well and returns
// DISP_E_EXCEPTION, as a late-bound call reports. Call only from a catch
// block. Throws nothing: without memory for the texts the error object is
// cleared instead, so that no earlier one is read as this one.
HRESULT ReportCurrentException(REFIID interface_id, EXCEPINFO* exception = nullptr) noexcept;

// A failure without an error of its own (a null pointer where the caller
// must give one): the thread's error object is cleared, for the same reason.
HRESULT FailWithoutError(HRESULT status) noexcept;

// The body of one interface member: any failure reaches the caller as a
// status plus error object, never as a C++ exception across the boundary.
template <typename Body>
HRESULT Guard(REFIID interface_id, Body&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (...) {
    return ReportCurrentException(interface_id);
  }
}

// Raises the failure of a call on a caller's object: `info` (filled by the
// object when it raised an error) gives number, source and description;
// without it the status is described as the runtime would. The number is
// the object's status itself, so that it leaves the component unchanged.
[[noreturn]] void RaiseCallFailure(HRESULT status, const EXCEPINFO& info);

}  // namespace vornexa::com

#endif  // VORNEXA_COM_ERROR_INFO_H_

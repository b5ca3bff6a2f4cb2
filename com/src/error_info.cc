#include "com/src/error_info.h"

#include <windows.h>

#include <new>
#include <string>

#include "com/src/automation_values.h"

namespace vornexa::com {

namespace {

// The runtime's number for a dispatch failure that a late-bound Basic call
// reports; the status itself when it has none.
int32_t NumberOfDispatchStatus(HRESULT status) {
  switch (status) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND:
      return error_number::kMemberNotFound;
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL:
      return error_number::kWrongArgumentCount;
    case DISP_E_TYPEMISMATCH:
      return error_number::kTypeMismatch;
    case DISP_E_OVERFLOW:
      return error_number::kOverflow;
    default:
      return static_cast<int32_t>(status);
  }
}

std::string DescribeStatus(HRESULT status) {
  const int32_t number = NumberOfDispatchStatus(status);
  if (number != status) return std::string(StandardDescription(number));
  char text[64];
  wsprintfA(text, "Error de automatización 0x%08lX", static_cast<unsigned long>(status));
  return text;
}

HRESULT Report(int32_t number, std::string_view source, std::string_view description,
               REFIID interface_id, EXCEPINFO* exception) noexcept {
  BSTR source_text = ToBstrOrNull(source);
  BSTR description_text = ToBstrOrNull(description);
  IErrorInfo* info = nullptr;
  ICreateErrorInfo* create = nullptr;
  if (source_text != nullptr && description_text != nullptr &&
      SUCCEEDED(CreateErrorInfo(&create))) {
    create->SetGUID(interface_id);
    create->SetSource(source_text);
    create->SetDescription(description_text);
    create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
    create->Release();
  }
  SetErrorInfo(0, info);  // none clears it
  if (info != nullptr) info->Release();
  const HRESULT status = StatusOf(number);
  if (exception == nullptr) {
    SysFreeString(source_text);
    SysFreeString(description_text);
    return status;
  }
  *exception = EXCEPINFO{};
  exception->scode = status;
  exception->bstrSource = source_text;
  exception->bstrDescription = description_text;
  return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT StatusOf(int32_t number) {
  if (number >= 1 && number <= 0xFFFF) return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number);
  if (number < 0) return static_cast<HRESULT>(number);
  return E_FAIL;  // 0 and large positive numbers are no failure status
}

HRESULT ReportCurrentException(REFIID interface_id, EXCEPINFO* exception) noexcept {
  int32_t number = error_number::kInternal;
  try {
    throw;
  } catch (const Error& error) {
    return Report(error.Number(), error.Source(), error.Description(), interface_id, exception);
  } catch (const std::bad_alloc&) {
    number = error_number::kOutOfMemory;
  } catch (...) {
  }
  return Report(number, kRuntimeSource, StandardDescription(number), interface_id, exception);
}

HRESULT FailWithoutError(HRESULT status) noexcept {
  SetErrorInfo(0, nullptr);
  return status;
}

void RaiseCallFailure(HRESULT status, const EXCEPINFO& info) {
  if (status == DISP_E_EXCEPTION) {
    HRESULT raised = info.scode;
    if (raised == 0) raised = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, info.wCode);
    std::string description = FromBstr(info.bstrDescription);
    if (description.empty()) description = DescribeStatus(raised);
    throw Error(static_cast<int32_t>(raised), FromBstr(info.bstrSource), std::move(description));
  }
  throw Error(NumberOfDispatchStatus(status), std::string(kRuntimeSource), DescribeStatus(status));
}

}  // namespace vornexa::com

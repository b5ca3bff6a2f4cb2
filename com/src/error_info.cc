#include "com/src/error_info.h"

#include <windows.h>

#include <string>

#include "com/src/automation_values.h"

namespace vornexa::com {

namespace {

// Runtime numbers for the dispatch failures a late-bound Basic call reports.
constexpr int32_t kMemberNotFound = 438;
constexpr int32_t kWrongArgumentCount = 450;

std::string DescribeStatus(HRESULT status) {
  switch (status) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND:
      return "El objeto no admite esta propiedad o método";
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL:
      return "Número de argumentos incorrecto o asignación de propiedad no válida";
    case DISP_E_TYPEMISMATCH:
      return std::string(StandardDescription(error_number::kTypeMismatch));
    case DISP_E_OVERFLOW:
      return std::string(StandardDescription(error_number::kOverflow));
    default: {
      char text[64];
      wsprintfA(text, "Error de automatización 0x%08lX", static_cast<unsigned long>(status));
      return text;
    }
  }
}

int32_t NumberOfDispatchStatus(HRESULT status) {
  switch (status) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND:
      return kMemberNotFound;
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL:
      return kWrongArgumentCount;
    case DISP_E_TYPEMISMATCH:
      return error_number::kTypeMismatch;
    case DISP_E_OVERFLOW:
      return error_number::kOverflow;
    default:
      return static_cast<int32_t>(status);
  }
}

}  // namespace

HRESULT StatusOf(int32_t number) {
  if (number >= 1 && number <= 0xFFFF) return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number);
  if (number < 0) return static_cast<HRESULT>(number);
  return E_FAIL;  // 0 and large positive numbers are no failure status
}

HRESULT ReportError(const Error& error, REFIID interface_id) {
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    BSTR source = ToBstr(error.Source());
    BSTR description = ToBstr(error.Description());
    create->SetGUID(interface_id);
    create->SetSource(source);
    create->SetDescription(description);
    SysFreeString(source);
    SysFreeString(description);
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    create->Release();
  }
  return StatusOf(error.Number());
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

// The class factory of an in-process server: a static object whose lifetime
// is the DLL's, handing out new objects made by a creation function.
#ifndef VORNEXA_COM_CLASS_FACTORY_H_
#define VORNEXA_COM_CLASS_FACTORY_H_

#include <unknwn.h>

#include "com/src/module.h"

namespace vornexa::com {

class ClassFactory : public IClassFactory {
 public:
  using Create = HRESULT (*)(REFIID, void**);
  explicit constexpr ClassFactory(Create create) : create_(create) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // Factories are static: their lifetime is the DLL's, counted by LockServer.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return create_(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    com::LockServer(lock != FALSE);
    return S_OK;
  }

 private:
  Create create_;
};

}  // namespace vornexa::com

#endif  // VORNEXA_COM_CLASS_FACTORY_H_

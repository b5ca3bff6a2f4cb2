// The thread's shared connection as the component keeps it. It is released
// when the thread's last CoUninitialize begins, while COM still works there.
// A thread that ends without uninitialising COM leaves it unreleased: a
// thread's end runs under the loader lock, where releasing a caller's object
// could deadlock (ADO's own teardown may wait for a thread of its own).
#ifndef VORNEXA_COM_THREAD_CONNECTION_H_
#define VORNEXA_COM_THREAD_CONNECTION_H_

namespace vornexa::com {

// Called when the thread may have stored a connection: arranges the above
// once per thread, and keeps the DLL loaded for the rest of the process (the
// thread's copy is destroyed by code of this DLL when the thread ends).
void WatchThreadConnection();

}  // namespace vornexa::com

#endif  // VORNEXA_COM_THREAD_CONNECTION_H_

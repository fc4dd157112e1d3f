// A shared object that is no extension: the host must refuse it by name.
#if defined(_WIN32)
#define VISIBLE __declspec(dllexport)
#else
#define VISIBLE __attribute__((visibility("default")))
#endif

extern "C" VISIBLE int GetRunObjectDataSize() { return 0; }

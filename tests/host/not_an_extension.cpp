// A shared object that is no extension: the host must refuse it by name.
extern "C" __attribute__((visibility("default"))) int GetRunObjectDataSize() { return 0; }

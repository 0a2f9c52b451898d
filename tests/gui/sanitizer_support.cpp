// The font library keeps a cache for the life of the process that the leak checker reports at
// exit, and so do GStreamer and the GLib type system under it (the plugin registry, the types of
// its elements); they are not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgstreamer-1.0.so\n";
}

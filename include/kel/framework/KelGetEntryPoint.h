// Loads a shared library by name and answers one of its entry points, or null.
// Never aborts: a failure is reported on the standard error stream.
#pragma once

// `library` without ".so" in its name is first tried with ".so" appended, then
// as given; a plain name not found by the dynamic loader is also looked for
// next to the framework library. A loaded library stays loaded.
// With a null `symbol` only the library is loaded: the answer is then non-null
// when it is loaded. A non-zero `global` makes its symbols available to the
// libraries loaded after it.
void* KelGetEntryPoint(const char* library, const char* symbol, int global = 0);

// Looks up one entry point of the graphics driver; without it nothing can be
// drawn, so a missing library or symbol ends the process.
#pragma once

void* KelDriverEntryPoint(const char* symbol);

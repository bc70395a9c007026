#pragma once

// How the process's heap behaves; both only change speed, never what is allocated.
namespace ProcessMemory {

// Keeps freed buffers of up to a few MiB for reuse instead of handing them back to the
// system at once. Called first thing in main().
void keepFreedBuffers();

// Grows the heap once, ahead of a command's burst of allocations, by a span the kernel
// may back with huge pages. Does nothing where the heap cannot be grown so.
void growHeapForCommand();

}

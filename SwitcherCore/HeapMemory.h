#pragma once

#include <cstddef>

// The heap of a process that stays open all day and replaces one large structure again and
// again: the Rate Library (100,000 rows, a 28 MB line) after every change the companion makes.
namespace HeapMemory {

// Blocks of this size and more are mapped on their own and unmapped when freed.
inline constexpr std::size_t largeBlockBytes = 1024 * 1024;

// Once at start. By default glibc raises the size from which it maps blocks on their own to the
// largest block freed so far (up to 32 MiB): after the first Rate Library was freed, the next
// one's line, rows and index came from the arenas and stayed there, resident, once freed.
void mapLargeBlocks();

// After a large release: hands the freed pages of every arena back to the system. It takes each
// arena's lock in turn, so it belongs on a worker thread.
void giveBackFreedPages();

// A large fresh block about to be filled (a Rate Library line, its rows, its search text), with
// about `expected` bytes: asks the system for 2 MiB pages there, so that filling 28 MB takes a
// few dozen page faults instead of 7,000 (a fault costs microseconds, and memory given back is
// fresh each time). Only whole 2 MiB pages within the first fifteen sixteenths of `expected`
// are asked for, so that an estimate a little too long never leaves a large page half filled and
// resident all the same. Nothing changes where the system offers no such pages.
void preferLargePages(const void *data, std::size_t expected);

// A large fresh block about to be filled, by another thread: makes about `expected` bytes of it
// resident now, on the calling thread, so that the thread filling it does not stop for each of
// its pages in turn. Only whole pages within the first fifteen sixteenths of `expected` are
// asked for (see preferLargePages). Nothing changes where the system cannot do it.
void makeResident(const void *data, std::size_t expected);

} // namespace HeapMemory

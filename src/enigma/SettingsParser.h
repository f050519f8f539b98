// The reader of an Enigma settings file ("lamedb" or the older "services"): the transponders
// section, then the services section, each closed by a line beginning with "end"; and the reader
// of the one-line records of "lamedb5".
#pragma once

#include "enigma/ServiceTables.h"

#include <cstdio>

namespace tovu {

// Where the rounding notes of the unit conversion go: standard error unless changed (null
// restores it). Each note is one line.
void SetRoundingNoteStream(FILE* stream);

// Reads lines until one begins with `word`; 0 then (the file is positioned after it), -1 when the
// file ended first.
[[nodiscard]] int FindSection(FILE* file, const char* word);
// FindSection "transponders" then ParseTransponders; -1 only when the section is missing.
int TranspondersSection(FILE* file);
// FindSection "services" then ParseServices; -1 only when the section is missing.
int ServicesSection(FILE* file);

// Three lines per transponder (key, data, "/") until "end": 0 at "end", -1 when a line is
// missing or the table cannot grow.
int ParseTransponders(FILE* file);
// Three lines per service (key, name, provider) until "end": appends television and radio services
// whose transponder is known (SortServices places them into the ServiceTable). 0 at "end", -1 when
// a line is missing or the memory runs out.
int ParseServices(FILE* file);

// The one-line records of a "lamedb5" file, read by the rules of the three-line layout: every
// "t:" transponder line ("t:" key "," letter ":" data), then every "s:" service line ("s:" key
// "," the name in double quotes, then anything). Other lines are skipped. 0, or -1 when the memory
// runs out.
int ParseLamedb5(FILE* file);

// Copies the tuning data of the service's transponder into it; -1 after a message when the
// transponder is unknown.
[[nodiscard]] int FindTransponderForService(ServiceEntry& service);

// Places the services appended since into the ServiceTable and orders the whole table by orbital
// position, then runs of one position by frequency, then runs of one frequency by service id;
// entries equal in these keys keep their order. Out of memory: the table's message, and
// importOutOfMemory is set.
void SortServices();

// Prints the services as a table; the layout (cable or satellite) follows lastTransponderIsCable.
void DumpServices(const ServiceEntry* table, int count);

}  // namespace tovu

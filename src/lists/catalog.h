// Catalog lines: the format of the catalog copy and of the favourites file.
// A line is key (bytes 1-8), base index (byte 9), title (bytes 10-50).
// Everything here is bytes; titles are never converted.
#pragma once

#include "lists/catalog_reader.h"
#include "lists/catalog_writer.h"
#include "lists/keys.h"
#include "lists/load_entries.h"
#include "lists/packed_strings.h"
#include "lists/string_list.h"

#ifndef FILEHANDLER_DATASETFILESUPPORT_H
#define FILEHANDLER_DATASETFILESUPPORT_H

#include <fstream>

#include "FileHandler/ParseTools.h"

// Helpers shared by the data set file operations that open a file.

// Opens a file for reading in binary mode, so that stream positions are
// exact byte offsets, and starts the line count of tools at 1. False when
// the file cannot be opened (or is a folder).
bool OpenDataSetFile(FileTools& tools, const char* fileName, std::ifstream& in);

// Rethrows a reader error without its input stream: the stream belongs to
// the file that closes while the error travels to the caller.
[[noreturn]] void RethrowClosed(const FileTools::Error& error);

#endif

#pragma once
// Checking a collection file without changing it: every table's schema, SQLite's
// integrity check, then each picture's JPEG header and its end. Plain C++, shared by
// the Linux program and velmora.exe.

#include <string>
#include <vector>

namespace velmora {

struct CollectionProblem {
    int position = 0;  // the picture's place in rowid order, from 1; 0: the file itself
    std::string name;  // the picture's name
    std::string what;
};

struct CollectionCheck {
    int pictures = 0;  // records read
    std::vector<CollectionProblem> problems;
    bool sound() const { return problems.empty(); }
};

// Opens the file read-only (nothing is written, not even a rollback) and reports what
// is wrong. A file that cannot be opened or read is one problem of the file itself.
// A server address: the table's check, then each picture as in a file.
CollectionCheck checkCollection(const std::string& path);

// The lines the program prints for a check: one per problem, then a summary.
std::string checkReport(const std::string& path, const CollectionCheck& check);

}  // namespace velmora

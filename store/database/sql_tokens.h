#pragma once
// SQL text from a picture data file's schema, split into tokens the way SQLite's own
// tokenizer splits it, so a keyword hidden in a string, a quoted name or a comment is
// told apart from one that takes effect.

#include <string>
#include <vector>

namespace velmora {

enum class SqlTokenKind {
    Word,        // a keyword or a bare name: letters, digits, '_', '$', non-ASCII bytes
    Number,      // 12, 1.5e-3, 0x1F, .5
    String,      // 'text' with '' inside
    Blob,        // x'00ff'
    QuotedName,  // "name", `name`, [name]
    Symbol,      // any other single character: ( ) , + - ...
    Unfinished,  // a quote or comment that never closes
};

struct SqlToken {
    SqlTokenKind kind;
    std::string text;
};

// Every token of sql up to its end or a NUL, comments and spaces left out.
std::vector<SqlToken> sqlTokens(const std::string& sql);

// True when token is the bare word `word` (ASCII letters compared without case).
bool isWord(const SqlToken& token, const char* word);

}  // namespace velmora

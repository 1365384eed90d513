#include "store/database/sql_tokens.h"

#include <cstring>

namespace velmora {

namespace {

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// SQLite's IdChar: a name goes on through every byte from 0x80 up.
bool isNameChar(unsigned char c) {
    return c >= 0x80 || isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}

// The end of a quoted run opened at `at`; a doubled closing quote stays inside
// except in [name], which has no escape. npos when it never closes.
std::size_t closingQuote(const std::string& sql, std::size_t at, char close) {
    for (std::size_t i = at + 1; i < sql.size(); ++i) {
        if (sql[i] != close) continue;
        if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
            ++i;
            continue;
        }
        return i;
    }
    return std::string::npos;
}

std::size_t numberEnd(const std::string& sql, std::size_t i) {
    while (i < sql.size()) {
        const unsigned char c = sql[i];
        const bool exponentSign = (c == '+' || c == '-') && (sql[i - 1] == 'e' || sql[i - 1] == 'E');
        if (!isNameChar(c) && c != '.' && !exponentSign) break;
        ++i;
    }
    return i;
}

}  // namespace

std::vector<SqlToken> sqlTokens(const std::string& text) {
    const std::string sql = text.substr(0, std::strlen(text.c_str()));  // SQLite reads up to a NUL
    std::vector<SqlToken> tokens;
    std::size_t i = 0;
    auto add = [&](SqlTokenKind kind, std::size_t end) {
        tokens.push_back({kind, sql.substr(i, end - i)});
        i = end;
    };
    while (i < sql.size()) {
        const unsigned char c = sql[i];
        const char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
            ++i;
        } else if (c == '-' && next == '-') {
            const std::size_t end = sql.find('\n', i);
            i = end == std::string::npos ? sql.size() : end + 1;
        } else if (c == '/' && next == '*') {
            const std::size_t end = sql.find("*/", i + 2);
            i = end == std::string::npos ? sql.size() : end + 2;
        } else if (c == '\'' || c == '"' || c == '`' || c == '[') {
            const std::size_t end = closingQuote(sql, i, c == '[' ? ']' : static_cast<char>(c));
            if (end == std::string::npos) {
                add(SqlTokenKind::Unfinished, sql.size());
            } else {
                add(c == '\'' ? SqlTokenKind::String : SqlTokenKind::QuotedName, end + 1);
            }
        } else if ((c == 'x' || c == 'X') && next == '\'') {
            const std::size_t end = closingQuote(sql, i + 1, '\'');
            add(end == std::string::npos ? SqlTokenKind::Unfinished : SqlTokenKind::Blob,
                end == std::string::npos ? sql.size() : end + 1);
        } else if (isDigit(c) || (c == '.' && isDigit(static_cast<unsigned char>(next)))) {
            add(SqlTokenKind::Number, numberEnd(sql, i + 1));
        } else if (isNameChar(c)) {
            std::size_t end = i;
            while (end < sql.size() && isNameChar(static_cast<unsigned char>(sql[end]))) ++end;
            add(SqlTokenKind::Word, end);
        } else {
            add(SqlTokenKind::Symbol, i + 1);
        }
    }
    return tokens;
}

bool isWord(const SqlToken& token, const char* word) {
    if (token.kind != SqlTokenKind::Word || token.text.size() != std::strlen(word)) return false;
    for (std::size_t i = 0; i < token.text.size(); ++i) {
        const char c = token.text[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        const char expected = word[i] >= 'A' && word[i] <= 'Z' ? static_cast<char>(word[i] - 'A' + 'a') : word[i];
        if (lower != expected) return false;
    }
    return true;
}

}  // namespace velmora

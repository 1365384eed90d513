// A program the tests plant under a system program's name: started, it leaves
// "planted.txt" in the current folder and reports success.
#include <cstdio>

int main() {
    std::FILE* marker = std::fopen("planted.txt", "w");
    if (marker != nullptr) std::fclose(marker);
    return 0;
}

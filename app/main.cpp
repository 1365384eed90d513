// Until the main window exists: open pictures.vlm of the current directory through
// the store and list its records.
#include <filesystem>
#include <iostream>

#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "store/error.h"

int main() {
    using namespace velmora;
    try {
        Connection connection;
        connection.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" +
                                       std::filesystem::current_path().string() +
                                       "\\pictures.vlm;Persist Security Info=False");
        PictureQuery query(connection);
        query.activate();
        std::cout << query.recordCount() << " pictures\n";
        if (query.recordCount() > 0) {
            for (;;) {
                std::cout << "  " << query.fieldByName("filename").asString() << '\n';
                query.next();
                if (query.atEnd()) break;
            }
        }
    } catch (const Error& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}

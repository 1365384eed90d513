// Process start to the first picture painted: the real program opening a file of 4000 x
// 3000 pictures on a private X server, against an empty Qt window's start (this program
// again, painting a gradient) plus a libjpeg decode of that picture at the display's
// scale, taking turns. A window counts as painted once the row across its middle shows
// a picture: more distinct colours than widgets and text draw.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bench/measure.h"
#include "bench/x_server.h"
#include "store/database/collection_file.h"
#include "tests/picture/libjpeg_reference.h"
#include "tools/synthetic_picture.h"

namespace {

using namespace velmora;

// The main window's picture area at its first size, in pixels.
const int kAreaWidth = 545;
const int kAreaHeight = 401;
const int kPictureColours = 64;
const int kPictureWidth = 4000;
const int kPictureHeight = 3000;

template <typename T>
std::unique_ptr<T, void (*)(void*)> reply(T* value) {
    return {value, std::free};
}

// Most distinct colours in the middle row of a viewable top-level window at least
// 300 x 200 in size; 0 when there is none.
int middleRowColours(xcb_connection_t* connection, xcb_window_t root) {
    auto tree = reply(xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!tree) return 0;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    int most = 0;
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const xcb_window_t window = children[i];
        auto attributes = reply(xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr));
        auto geometry = reply(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
        if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE || geometry->width < 300 ||
            geometry->height < 200) {
            continue;
        }
        auto image = reply(xcb_get_image_reply(
            connection,
            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, std::int16_t(geometry->height / 2), geometry->width, 1, ~0u),
            nullptr));
        if (!image) continue;
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
        std::set<std::uint32_t> colours;
        for (int x = 0; x < xcb_get_image_data_length(image.get()) / 4; ++x) colours.insert(pixels[x] & 0xFFFFFF);
        most = std::max(most, int(colours.size()));
    }
    return most;
}

// Milliseconds from starting the program to a picture in its window; it is stopped then.
double timeToPicture(std::vector<std::string> argv, std::vector<std::string> environment, xcb_connection_t* connection,
                     xcb_window_t root) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args = bench::pointers(argv), env = bench::pointers(environment);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, args[0], &actions, nullptr, args.data(), env.data()) != 0) std::exit(1);
    posix_spawn_file_actions_destroy(&actions);
    auto elapsed = [&] { return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(); };
    while (middleRowColours(connection, root) < kPictureColours) {
        if (elapsed() > 30000) {
            std::fprintf(stderr, "%s showed no picture\n", args[0]);
            std::exit(1);
        }
        usleep(1000);
    }
    const double ms = elapsed();
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    while (middleRowColours(connection, root) > 0) usleep(1000);  // gone before the next start
    return ms;
}

// The libjpeg floor: the largest DCT reduction that still covers the picture area.
void decodeAtDisplayScale(const Bytes& jpeg) {
    unsigned denominator = 8;
    while (denominator > 1 && (kPictureWidth / int(denominator) < kAreaWidth || kPictureHeight / int(denominator) < kAreaHeight)) {
        denominator /= 2;
    }
    test::referenceDecode(jpeg, JCS_EXT_BGR, denominator);
}

// The empty window: as large as the program's, its middle row a gradient.
class GradientWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QLinearGradient gradient(0, 0, width(), 0);
        gradient.setColorAt(0, Qt::black);
        gradient.setColorAt(1, QColor(255, 160, 40));
        QPainter(this).fillRect(rect(), gradient);
    }
};

int emptyWindow(int argc, char** argv) {
    QApplication application(argc, argv);
    GradientWindow window;
    window.resize(788, 478);
    window.show();
    return application.exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--empty-window") return emptyWindow(argc, argv);
    if (access("/usr/bin/Xvfb", X_OK) != 0) {
        std::fprintf(stderr, "launch: Xvfb is needed (tools/deps.sh xvfb)\n");
        return 1;
    }
    namespace fs = std::filesystem;
    const fs::path scratch = bench::scratchDir("launch");
    const std::string collection = (scratch / "pictures.vlm").string();
    const Bytes jpeg = tools::syntheticJpeg(kPictureWidth, kPictureHeight);
    createCollection(collection, {{"first", jpeg}, {"second", tools::syntheticJpeg(kPictureWidth, kPictureHeight, 1)}});
    const std::string home = (scratch / "home").string();
    fs::create_directories(home);

    bench::XServer server("1280x1024x24");
    const std::vector<std::string> environment{"PATH=/usr/bin:/bin", "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config",
                                               "XDG_DATA_HOME=" + home + "/data", "XDG_CACHE_HOME=" + home + "/cache",
                                               "XDG_RUNTIME_DIR=" + home, "QT_QPA_PLATFORM=xcb",
                                               "DISPLAY=" + server.display()};
    xcb_connection_t* connection = xcb_connect(server.display().c_str(), nullptr);
    if (xcb_connection_has_error(connection)) return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;

    std::vector<double> launch, empty, decode, spent;
    for (int run = 0; run < 7; ++run) {
        bench::timeInTurn(
            run, [&] { launch.push_back(timeToPicture({VELMORA_PROGRAM, collection}, environment, connection, root)); }, spent,
            [&] {
                empty.push_back(timeToPicture({"/proc/self/exe", "--empty-window"}, environment, connection, root));
                decode.push_back(bench::timeMs([&] { decodeAtDisplayScale(jpeg); }));
            },
            spent);
    }
    xcb_disconnect(connection);
    const double launchMs = bench::median(launch), emptyMs = bench::median(empty), decodeMs = bench::median(decode);
    bench::report("launch_ms", launchMs, "ms");
    bench::report("empty_window_ms", emptyMs, "ms");
    bench::report("display_decode_ms", decodeMs, "ms");
    bench::report("launch_ratio", launchMs / (emptyMs + decodeMs), "x");
    fs::remove_all(scratch);
    return 0;
}

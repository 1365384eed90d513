#include "wallpaper/monitor_pictures.h"

#include <algorithm>

#include "base/error.h"
#include "base/system_error.h"
#include "store/database/sql_database.h"
#include "store/imagefile/bmp_writer.h"
#include "store/picture/jpeg_decoder.h"
#include "store/picture/jpeg_picture.h"
#include "wallpaper/folder_chain.h"

namespace velmora {

bool suits(const PictureShape& picture, const platform::PixelRect& monitor) {
    const bool landscape = picture.width >= picture.height;
    return landscape == (monitor.width >= monitor.height) && picture.width * 2 >= monitor.width &&
           picture.height * 2 >= monitor.height;
}

std::vector<std::size_t> chooseMonitorRows(const std::vector<platform::Monitor>& monitors,
                                           const std::vector<std::size_t>& candidates,
                                           const std::function<std::optional<PictureShape>(std::size_t)>& shape) {
    std::vector<std::size_t> chosen;
    std::vector<bool> given(candidates.size(), false);
    for (std::size_t m = 1; m < monitors.size() && !candidates.empty(); ++m) {
        std::optional<std::size_t> pick, fallback;
        for (std::size_t i = 0; i < candidates.size() && !pick; ++i) {
            if (given[i]) continue;
            if (!fallback) fallback = i;
            std::optional<PictureShape> found = shape(candidates[i]);
            if (found && suits(*found, monitors[m].rect)) pick = i;
        }
        std::size_t i = pick ? *pick : fallback.value_or(0);
        given[i] = true;
        chosen.push_back(candidates[i]);
    }
    return chosen;
}

std::optional<PictureShape> pictureShape(SqlDatabase& db, std::int64_t rowid) {
    // Only the front of the picture is read.
    std::unique_ptr<SqlBlob> blob;
    try {
        blob = db.openBlob("pictures", "picture", rowid);
    } catch (const Error&) {
        return std::nullopt;
    }
    for (std::size_t front = 4096;; front *= 4) {
        try {
            const Bytes bytes = blob->readFront(std::min(front, blob->size()));
            if (std::optional<JpegHeader> header = readJpegHeaderFromFront(bytes)) {
                return PictureShape{header->width, header->height};
            }
            if (bytes.size() >= blob->size() || front > (1 << 22)) return std::nullopt;
        } catch (const Error&) {
            return std::nullopt;
        }
    }
}

std::vector<std::string> writeMonitorPictures(PictureQuery& pictures, const std::vector<std::size_t>& rows,
                                              platform::Files& files) {
    createFolderChain(files, kMonitorPicturesFolder);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string path = kMonitorPicturesFolder + "\\" + std::to_string(i + 2) + ".bmp";
        JpegPicture picture;
        picture.loadData(pictures.blobAt(static_cast<int>(rows[i]), "picture"));
        Bytes headers;
        if (!files.createFileFromRuns(path, bmpFileRuns(picture.bitmap(), headers)))
            throw Error(cannotCreateFileMessage(path, files.lastError()));
        paths.push_back(path);
    }
    return paths;
}

}  // namespace velmora

// The state that the window and the download workers share. The program
// creates one instance and never destroys it (a worker may still be running
// when the process ends); tests create as many as they like.
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace tarvenia {

// The three work files at fixed paths.
struct WorkPaths {
    std::string photo; // "qndelar.jpg": the photo last downloaded
    std::string catalog; // "qndelar.qdl": the catalog copy
    std::string bitmap; // "qndelar.bmp": the wallpaper bitmap

    // The three names inside `dir`, which ends with its separator.
    static WorkPaths InFolder(const std::string& dir)
    {
        return { dir + "qndelar.jpg", dir + "qndelar.qdl", dir + "qndelar.bmp" };
    }
};

struct SharedState {
    // Raised by a worker as the last act of its run (store with release);
    // the window loads them with acquire, so everything the worker wrote
    // before is visible once a flag is seen.
    std::atomic<bool> CatalogReady { false };
    std::atomic<bool> ImageReady { false };
    std::atomic<bool> ConfirmPending { false };

    // Written by the first-connection run while the window is connecting
    // (nothing in the window reads them then); the window reads them only
    // after it has seen CatalogReady.
    std::string CurrentKey;
    std::string SelectedKey;
    std::vector<std::string> BaseUrls;

    WorkPaths Paths;
};

} // namespace tarvenia

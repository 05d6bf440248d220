#pragma once
// A fresh working directory with the device simulator on a real pseudo-terminal, linked as
// COMn in it. The test process works in that directory while the room exists, since ports are
// looked up there.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "simulator.h"

namespace veka::test {

class WorkDir {
public:
    WorkDir() : previous_(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "veka-test-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
        std::filesystem::current_path(path_);
    }
    ~WorkDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

class SimRoom {
public:
    explicit SimRoom(vekasim::Options options = {}) {
        options.dir = dir.path().string();
        sim = std::make_unique<vekasim::Simulator>(options);
        std::string error;
        if (!sim->start(&error)) ADD_FAILURE() << "simulator: " << error;
    }
    WorkDir dir;
    std::unique_ptr<vekasim::Simulator> sim;
};

}  // namespace veka::test

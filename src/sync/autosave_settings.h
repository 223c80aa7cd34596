// The launch values and folder that the autosave worker needs for its requests and files.
#pragma once

#include <string>

struct LaunchParams;

struct AutosaveSettings {
    std::string host;           // HOST
    int port = 0;               // PORT
    std::string docId;          // docId
    std::string targetDocId;    // targetDocId, used while publishing into the parent review
    std::string userId;         // USERID
    std::string workingFolder;  // temporary FDF files go here

    static AutosaveSettings From(const LaunchParams& params, const std::string& workingFolder);
};

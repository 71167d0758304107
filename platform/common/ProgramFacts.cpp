#include "platform/common/ProgramFacts.h"

#include <utility>

#include "platform/ports/ProgramInfo.h"

namespace ww::platform {

AppFacts ProgramFacts(std::string pathSeparator, std::string folder, std::string_view fileName) {
    AppFacts facts;
    facts.title = kAppTitle;
    facts.major = kVersionMajor;
    facts.minor = kVersionMinor;
    facts.revision = kVersionRevision;
    facts.pathSeparator = std::move(pathSeparator);
    facts.path = std::move(folder);
    // Kept apart so that folder, separator, name and extension give the
    // program file back.
    const std::size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        facts.exeExtension = std::string(fileName.substr(dot));
        fileName = fileName.substr(0, dot);
    } else {
        facts.exeExtension.clear();
    }
    facts.exeName = std::string(fileName);
    return facts;
}

}  // namespace ww::platform

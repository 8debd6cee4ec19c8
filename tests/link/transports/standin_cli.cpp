// trivo-cp-cli on the stand-in for the hidapi library, so that two of its processes can be given "the same
// display": each process shows the displays named in TRIVO_STANDIN_DISPLAYS (paths separated by ':'),
// each answering as the display does. Linked with the command line's main.
#include <cstdlib>
#include <string>

#include "hidapi_standin.h"

namespace {

const bool displaysListed = [] {
    const char* list = std::getenv("TRIVO_STANDIN_DISPLAYS");
    std::string paths = list ? list : "";
    std::size_t from = 0;
    while (from < paths.size()) {
        const std::size_t end = paths.find(':', from);
        const std::string path = paths.substr(from, end == std::string::npos ? std::string::npos : end - from);
        if (!path.empty())
            standin::addDevice({path});
        if (end == std::string::npos)
            break;
        from = end + 1;
    }
    return true;
}();

}  // namespace

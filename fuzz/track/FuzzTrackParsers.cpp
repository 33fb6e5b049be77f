// Fuzz target: every track parser over arbitrary clip bytes. libFuzzer hands
// over a heap block of exactly the input's size, so AddressSanitizer stops
// any read outside the clip; the texts must always start with their header.

#include "Gpx.h"
#include "MovieHeader.h"
#include "Track.h"
#include "route/RouteFormats.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool starts_with(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

// "[" followed by a digit: a G-sensor placeholder left in the close form.
bool has_placeholder(const std::string& text)
{
    for (std::size_t at = text.find('['); at != std::string::npos && at + 1 < text.size(); at = text.find('[', at + 1)) {
        if (text[at + 1] >= '0' && text[at + 1] <= '9')
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const vek::track::Bytes clip(reinterpret_cast<const std::byte*>(data), size);
    std::size_t logged = 0;
    const vek::track::LogSink log = [&logged](std::string_view line) { logged += line.size(); };

    const std::string standard = vek::track::splitData(clip, "F'\"[4].MOV", log);
    if (!starts_with(standard, "data['F\\'\\\"[4].MOV']=new Array();") &&
        !starts_with(standard, "//C12\ndata['F\\'\\\"[4].MOV']=new Array();\n"))
        std::abort();
    const std::string close = vek::track::splitData_new_close(clip, "F.MOV", log);
    if (!starts_with(close, "//C12\ndata['F.MOV']=new Array();\n") || has_placeholder(close))
        std::abort();
    if (vek::track::gpx_track(clip, "F.MOV").find("</gpx>") == std::string::npos)
        std::abort();
    namespace route = vek::track::route;
    const std::vector<route::Trip> trips = route::group_trips({{"F.MOV", route::route_samples(clip)}});
    if (route::gpx_text(trips).find("</gpx>") == std::string::npos ||
        route::kml_text(trips).find("</kml>") == std::string::npos || route::csv_text(trips).rfind("trip,", 0) != 0)
        std::abort();
    if (const auto seconds = vek::track::movie_duration_seconds(clip); seconds && !(*seconds >= 0))
        std::abort();
    return 0;
}

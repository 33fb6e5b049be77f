#pragma once
// Track texts in the exact shape the track library writes them.

#include <string>

namespace vek::drive::testing {

// One freeGPS sample statement (both assignments on one line).
inline std::string freegps_statement(const std::string& key, const std::string& speed, const std::string& lat,
                                     const std::string& lon, const std::string& label, const std::string& xyz) {
  const std::string lhs = "data[\"A.MOV\"][\"" + key + "\"]";
  return lhs + "=new Array();" + lhs + "={'speed':\"" + speed + "\",'degrees':\"0.00\",'lat':\"" + lat + "\",'lon':\"" +
         lon + "\"," + xyz + ",'lbs':\"" + label + "\",'stat':\"65\"};\n";
}

inline std::string freegps_text(const std::string& statements) {
  return "data['A.MOV']=new Array();" + statements;
}

// A freeGPS track of `count` samples, one every tenth of a second from
// 2016/03/01 10:05:0.0 (under a minute of them), speed 10 + i km/h, moving east from 25.0,121.0.
inline std::string freegps_run(int count, int first_second = 0) {
  std::string statements;
  for (int i = 0; i < count; ++i) {
    const int tenths = first_second * 10 + i;
    const std::string key = "2016/03/01 10:05:" + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    const std::string lon = "121." + std::to_string(1000 + i).substr(1);
    statements += freegps_statement(key, std::to_string(10 + i) + ".000000", "25.0000000", lon,
                                    "25[ 0' 0.00:,121[ 0' 0.00:", "'x':\"0.10\",'y':\"-0.20\",'z':\"0.98\"");
  }
  return freegps_text(statements);
}

}  // namespace vek::drive::testing

#include "track/formats/Nmea.h"

#include "FamilyPayloads.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

using test::kLatitude;
using test::kLongitude;
using test::nmea;

TEST(Nmea, RmcGivesUtcTimeDegreesKmhAndCourse) {
  const auto fix = parse_rmc(nmea(test::kRmcBody), Checksum::checked_if_present);
  ASSERT_TRUE(fix);
  EXPECT_EQ(fix->time.year, 2016);
  EXPECT_EQ(fix->time.month, 3);
  EXPECT_EQ(fix->time.day, 1);
  EXPECT_EQ(fix->time.hour, 9);
  EXPECT_EQ(fix->time.minute, 5);
  EXPECT_DOUBLE_EQ(fix->time.second, 7.0);
  EXPECT_NEAR(fix->latitude, kLatitude, 1e-9);
  EXPECT_NEAR(fix->longitude, kLongitude, 1e-9);
  EXPECT_NEAR(fix->speed_kmh, 18.52, 1e-9);
  EXPECT_DOUBLE_EQ(fix->course.value(), 123.4);
  EXPECT_TRUE(fix->valid);
}

TEST(Nmea, HemispheresVoidStatusAndOldCenturies) {
  const auto south = parse_rmc("GNRMC,235959.5,V,3436.2233,S,05822.8955,W,0.0,,311299,,", Checksum::checked_if_present);
  ASSERT_TRUE(south);
  EXPECT_LT(south->latitude, -34.6);
  EXPECT_LT(south->longitude, -58.3);
  EXPECT_FALSE(south->valid);
  EXPECT_FALSE(south->course);
  EXPECT_EQ(south->time.year, 1999);
  EXPECT_DOUBLE_EQ(south->time.second, 59.5);
}

TEST(Nmea, MalformedSentencesAreRefused) {
  const std::string good = nmea(test::kRmcBody);
  std::string wrong_sum = good;
  wrong_sum.back() = wrong_sum.back() == '0' ? '1' : '0';
  const struct {
    std::string sentence;
    Checksum rule;
  } refused[] = {
      {wrong_sum, Checksum::checked_if_present},
      {good.substr(0, good.size() - 1), Checksum::checked_if_present},                   // one checksum digit
      {"GPRMC,090507,A,2502.0378,N,12133.8681,E,10.0,123.4", Checksum::ignored},         // no date
      {"GPRMC,090507,A,2560.0000,N,12133.8681,E,10.0,123.4,010316", Checksum::ignored},  // 60 minutes
      {"GPRMC,090507,A,9100.0000,N,12133.8681,E,10.0,123.4,010316", Checksum::ignored},  // 91 degrees
      {"GPRMC,090507,A,2502.0378,X,12133.8681,E,10.0,123.4,010316", Checksum::ignored},  // hemisphere
      {"GPRMC,090507,A,2502.0378,N,12133.8681,E,-1,123.4,010316", Checksum::ignored},    // speed
      {"GPRMC,090507,A,2502.0378,N,12133.8681,E,10.0,123.4,320316", Checksum::ignored},  // day 32
      {"GPRMC,090507,A,2502.0378,N,12133.8681,E,10.0,123.4,011316", Checksum::ignored},  // month 13
      {"GPRMC,250507,A,2502.0378,N,12133.8681,E,10.0,123.4,010316", Checksum::ignored},  // hour 25
      {"GPRMC,090507,A,2502.0378,N,12133.8681,E,1e3,123.4,010316", Checksum::ignored},   // exponent
      {"GPRMC,090507,X,2502.0378,N,12133.8681,E,10.0,123.4,010316", Checksum::ignored},  // status
      {"GPGGA,090507,A,2502.0378,N,12133.8681,E,10.0,123.4,010316", Checksum::ignored},  // not RMC
      {"", Checksum::ignored},
  };
  for (const auto& c : refused)
    EXPECT_FALSE(parse_rmc(c.sentence, c.rule)) << c.sentence;
  EXPECT_TRUE(parse_rmc(wrong_sum, Checksum::ignored));
}

TEST(Nmea, SentencesFoundInMixedTextAndCutAtTheirEnd) {
  const std::string text = "[1456823107000]" + nmea(test::kRmcBody) + "\r\n" + std::string(1, '\0') +
                           "gsensori,2,512,1,2,3;GNRMC,090508,A,2502.0378,N,12133.8681,E,0,0,010316;CAR,0\n xRMC,1";
  const auto found = find_rmc_sentences(text);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], nmea(test::kRmcBody));
  EXPECT_EQ(found[1], "GNRMC,090508,A,2502.0378,N,12133.8681,E,0,0,010316");
}

}  // namespace
}  // namespace vek::track::formats

"""What a track reader gets from the stored camera fields.

These mirror the readers' arithmetic, single precision included, so the
JSON can state the exact values and texts a correct reader produces.
"""
import math
import struct

FLOAT32_LAT_LON_SCALE = 1e7  # freeGPS stores degrees x 10^7
GSENSOR_SCALE = 1e9  # top-aligned G-sensor values are read in units of 1e9
DEGREES_SCALE = 1e7  # top-aligned heading field is read in units of 1e7

# Fixed corrections the gps0 readers add to every decoded position.
GPS0_LAT_CORRECTIONS = (-0.004475, -0.0034)
GPS0_LON_CORRECTIONS = (0.00117435, -0.0176)

HUNDREDTH_ARCSECONDS_PER_DEGREE = 360000


def f32(value):
    """Round a number to the nearest single-precision value."""
    return struct.unpack("<f", struct.pack("<f", value))[0]


def f32_div(numerator, denominator):
    """Single-precision division (double rounding is exact for one operation)."""
    return f32(f32(numerator) / f32(denominator))


def top_aligned(field):
    """Signed value of a 1-, 2- or 4-byte field placed in the top of a 32-bit word."""
    width = len(field)
    padded = bytes(field) + bytes(4 - width)
    return struct.unpack(">i", padded)[0]


def scaled_top_aligned(field, scale):
    return f32_div(top_aligned(field), scale)


def dms_to_degrees(value):
    """Degrees.minutes-seconds to decimal degrees in the readers' precision.

    Worked on the magnitude with the sign restored, so that negative
    (southern or western) positions decode to their mirror image of the
    positive ones instead of being floored into the wrong degree.
    """
    sign = -1.0 if value < 0 else 1.0
    x = abs(value)
    whole_degrees = f32(math.floor(x))
    minutes_fraction = (x - whole_degrees) * 100
    minutes = f32(math.floor(minutes_fraction))
    seconds = f32((minutes_fraction * 100000 - f32(minutes * f32(100000))) / 1000)
    result = f32(f32(f32(seconds / 60) + minutes) / 60)
    return sign * f32(result + whole_degrees)


def gps0_position(stored_dms_x100, corrections):
    value = dms_to_degrees(stored_dms_x100 / 100)
    for correction in corrections:
        value = value + correction
    return value


def round_half_away(value):
    return int(math.floor(abs(value) + 0.5)) * (1 if value >= 0 else -1)


def position_half(value):
    hundredths = round_half_away(value * 3600 * 100)
    degrees = int(hundredths / HUNDREDTH_ARCSECONDS_PER_DEGREE)
    rest = abs(hundredths - degrees * HUNDREDTH_ARCSECONDS_PER_DEGREE)
    minutes, rest = divmod(rest, 6000)
    seconds, hundredth = divmod(rest, 100)
    return "%i[ %i' %i.%.2d:" % (degrees, minutes, seconds, hundredth)


def position_label(latitude, longitude):
    """The printable position of a sample (degrees, minutes, seconds.hundredths)."""
    return position_half(latitude) + "," + position_half(longitude)


def freegps_time_key(year, month, day, hour, minute, seconds_x10):
    seconds = f32_div(seconds_x10, 10)
    return "%d/%02d/%02d %02d:%02d:%.1f" % (year, month, day, hour + 1, minute, seconds)


def gps0_time_base(year, month, day, hour, minute, second):
    return "%d/%02d/%02d %02d:%02d:%02d" % (year + 2000, month, day, hour + 8, minute, second)


def gsensor_triplet(fields):
    """Decoded values and their two-decimal texts for three top-aligned fields."""
    values = [scaled_top_aligned(field, GSENSOR_SCALE) for field in fields]
    return values, ["%.2f" % value for value in values]

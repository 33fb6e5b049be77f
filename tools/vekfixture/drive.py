"""A deterministic, smooth drive: position, speed, heading and acceleration.

The route depends only on the seed and the starting point, so the same
options always give the same camera data.
"""
import datetime
import math
import random
from dataclasses import dataclass

TAIPEI = (25.033964, 121.564468)
BUENOS_AIRES = (-34.603722, -58.381592)  # both coordinates negative

STEP_SECONDS = 0.1  # integration step, also the finest sample spacing
METRES_PER_DEGREE_LATITUDE = 111320.0
STANDARD_GRAVITY = 9.80665
MAX_SPEED_KMH = 120.0
CRUISE_KMH = 62.0
START_RAMP_SECONDS = 12.0  # the car pulls away from standstill at about 0.15 g
MAX_TURN_RATE_DEG_S = 9.0


@dataclass(frozen=True)
class DrivePoint:
    time: datetime.datetime
    latitude: float
    longitude: float
    speed_kmh: float
    heading_deg: float  # clockwise from north, 0 <= h < 360
    lateral_g: float
    longitudinal_g: float
    vertical_g: float


class _Profile:
    """Smooth speed and turn-rate curves made of a few seeded sine waves."""

    def __init__(self, seed):
        rng = random.Random(seed)
        self.speed_waves = [(rng.uniform(0.05, 0.12), rng.uniform(0, 2 * math.pi), 30.0),
                            (rng.uniform(0.2, 0.4), rng.uniform(0, 2 * math.pi), 12.0)]
        self.turn_waves = [(rng.uniform(0.08, 0.2), rng.uniform(0, 2 * math.pi), MAX_TURN_RATE_DEG_S)]
        self.heading0 = rng.uniform(0, 360)
        self.bump_phase = rng.uniform(0, 2 * math.pi)

    def speed_kmh(self, t):
        wave = sum(a * math.sin(w * t + p) for w, p, a in self.speed_waves)
        ramp = min(1.0, t / START_RAMP_SECONDS)
        return max(0.0, min(MAX_SPEED_KMH, ramp * (CRUISE_KMH + wave)))

    def turn_rate(self, t):
        return sum(a * math.sin(w * t + p) for w, p, a in self.turn_waves)

    def vertical_g(self, t):
        return 1.0 + 0.08 * math.sin(2.3 * t + self.bump_phase) * math.sin(0.7 * t)


def drive(seed, start, origin, seconds):
    """Drive points every STEP_SECONDS from `start` for `seconds` seconds."""
    profile = _Profile(seed)
    lat, lon = origin
    heading = profile.heading0
    points = []
    for i in range(steps(seconds) + 1):
        t = i * STEP_SECONDS
        speed = profile.speed_kmh(t)
        metres_s = speed / 3.6
        accel = (profile.speed_kmh(t + STEP_SECONDS) - speed) / 3.6 / STEP_SECONDS
        yaw_rate = math.radians(profile.turn_rate(t))
        points.append(DrivePoint(start + datetime.timedelta(seconds=t), lat, lon, speed, heading % 360,
                                 metres_s * yaw_rate / STANDARD_GRAVITY, accel / STANDARD_GRAVITY,
                                 profile.vertical_g(t)))
        heading += profile.turn_rate(t) * STEP_SECONDS
        rad = math.radians(heading)
        lat += metres_s * math.cos(rad) * STEP_SECONDS / METRES_PER_DEGREE_LATITUDE
        lon += metres_s * math.sin(rad) * STEP_SECONDS / (METRES_PER_DEGREE_LATITUDE * math.cos(math.radians(lat)))
    return points


def steps(seconds):
    return int(round(seconds / STEP_SECONDS))


def point_at(points, seconds):
    return points[steps(seconds)]

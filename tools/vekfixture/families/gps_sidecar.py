"""The `.gps` NMEA log and `.3gf` acceleration log beside a clip that holds
no telemetry of its own (the same logs the `free` box's children carry)."""
from . import common, free_children


def build(movie, options, points, drive_mod):
    gps, fixes = free_children.gps_log(points, drive_mod, options)
    accel_bytes, accel = free_children.accel_log(points, drive_mod, options)
    for k, fix in enumerate(fixes):
        fix["accel"] = accel[k * len(accel) // len(fixes)]  # spread over the clip by share
    sidecars = {".gps": gps, ".3gf": accel_bytes}
    readings = ["3gf acceleration at 1/128 g per unit, given to the fixes by their share of the clip",
                "the bracketed clock is camera-local (8 h ahead); fixes take the RMC's UTC"]
    return movie.serialized(), common.description(5, ".gps/.3gf sidecars", [{"sidecar": ".gps"}], fixes, accel,
                                                  readings, sidecars=sorted(sidecars)), sidecars

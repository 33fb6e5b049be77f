"""Builds dash-camera fixture clips for the track parsers, the app and the demos."""

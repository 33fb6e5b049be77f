"""The media part of a fixture: a short H.264 (and AAC) QuickTime clip made by ffmpeg."""
import subprocess

TONE_HZ = 440
AUDIO_RATE = 48000
MARK_HZ = 1000
MARK_SECONDS = 0.02  # short enough to time, long enough to survive AAC's frequency cut
MARK_LEVEL = 0.8
X264_PRESET = "veryfast"  # fixtures must be quick to make; quality does not matter
FFMPEG_TIMEOUT_SECONDS = 300


class EncodeError(Exception):
    pass


def marked_sound(seconds, mark_at):
    """Silence but for a tone burst that begins, at phase zero, exactly at `mark_at` seconds."""
    end = mark_at + MARK_SECONDS
    expression = "%g*sin(2*PI*%d*(t-%.9f))*gte(t\\,%.9f)*lt(t\\,%.9f)" % (MARK_LEVEL, MARK_HZ, mark_at, mark_at, end)
    return "aevalsrc=exprs=%s:sample_rate=%d:duration=%d" % (expression, AUDIO_RATE, seconds)


def ffmpeg_command(path, seconds, size, fps, audio, mark_at=None):
    width, height = size
    command = ["ffmpeg", "-nostdin", "-v", "error", "-y",
               "-f", "lavfi", "-i", "testsrc2=size=%dx%d:rate=%s:duration=%d" % (width, height, fps, seconds)]
    if mark_at is not None:
        command += ["-f", "lavfi", "-i", marked_sound(seconds, mark_at)]
    elif audio:
        command += ["-f", "lavfi", "-i", "sine=frequency=%d:sample_rate=%d:duration=%d" % (TONE_HZ, AUDIO_RATE, seconds)]
    # One encoder thread: with several, a busy machine now and then gets other
    # bytes for the same frames, and the tests compare clips made separately.
    command += ["-c:v", "libx264", "-threads", "1", "-preset", X264_PRESET, "-pix_fmt", "yuv420p",
                "-g", str(round(fps))]
    if audio or mark_at is not None:
        command += ["-c:a", "aac", "-b:a", "96k"]
    return command + ["-t", str(seconds), "-f", "mov", path]


def encode_clip(path, seconds, size, fps, audio, mark_at=None):
    command = ffmpeg_command(path, seconds, size, fps, audio, mark_at)
    try:
        result = subprocess.run(command, capture_output=True, text=True, timeout=FFMPEG_TIMEOUT_SECONDS)
    except FileNotFoundError as error:
        raise EncodeError("ffmpeg is not installed (apt-get install ffmpeg)") from error
    except subprocess.TimeoutExpired as error:
        raise EncodeError("ffmpeg took longer than %d s" % FFMPEG_TIMEOUT_SECONDS) from error
    if result.returncode != 0:
        raise EncodeError("ffmpeg failed: " + result.stderr.strip())

# A single-channel pressure recorder, LV firmware 3.20: a 30-byte image
# header, check bytes, 4 Meg memory, the rate change "!E00" / "!E01" and
# one calibration set behind "Z".
model = LV-3070
firmware = 3.20
serial = 2603
baud = 19200
default_baud = 19200
channels = P
memory_type = 2

calibration = single
calibration_records = 1

status = 4
start = 2026-07-01 00:00:00
end = 2026-07-15 00:00:00
period = 00:02:00
records = 10080
clock = data
stamps = time
time_stamp_every = 720
erase_ms = 1500

# A single-channel temperature recorder, HV firmware 2.20: a 30-byte image
# header, check bytes, and the rate change "!E00" (28800) / "!E01" (19200).
model = HV-3070
firmware = 2.20
serial = 1502
baud = 19200
default_baud = 19200
channels = T
memory_type = 1

calibration = single
calibration_records = 1

status = 4
start = 2026-08-01 00:00:00
end = 2026-08-05 00:00:00
period = 00:01:00
records = 5000
clock = data
stamps = time
time_stamp_every = 1440
erase_ms = 1500

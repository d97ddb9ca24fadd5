# An early single-channel temperature recorder, HV firmware 1.40: no image
# header, no check byte after memory reads, one calibration set behind "Z".
model = HV-3070
firmware = 1.40
serial = 871
baud = 2400
default_baud = 2400
channels = T
memory_type = 1

calibration = single
calibration_records = 1

status = 4
start = 2026-06-01 00:00:00
end = 2026-06-08 00:00:00
period = 00:05:00
records = 2016
clock = data
stamps = time
time_stamp_every = 288
erase_ms = 1500

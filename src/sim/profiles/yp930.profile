# The YP-930 micro-salinometer: a bench instrument on logger electronics,
# temperature and two conductivity cells (standard and sample), with
# configuration flag 8 and its standardization in table 06. Idle, empty.
model = YP-930
firmware = 5.10
serial = 930017
baud = 19200
default_baud = 19200
channels = T:01 C:02 C:03
latency_ms = 100
reading_time_ms = 100
memory_type = 1

# Word 0: words 5, 8 and 13 follow; 6 Hz profiling, battery voltage,
# real-time output, start characteristic and start option byte.
capability.0 = 0x0000DC92
capability.5 = 0x43         # operates while enabled (option 6)
capability.8 = 8            # micro-salinometer
capability.13 = 0xC0004B00  # default 19200 baud, express 19200
tables = 01 03 06
standardization = 1 1.0012 0.9987 0.99986 P163

calibration = history
calibration_records = 1

status = 0
start = 2026-12-01 09:00:00
end = 2027-12-01 09:00:00
period = 00:01:00
records = 0
clock = host
erase_ms = 1000

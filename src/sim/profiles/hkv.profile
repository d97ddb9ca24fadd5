# The HKV-4070 tide-and-wave logger: temperature and pressure every ten
# minutes, and every hour a wave burst of 512 pressure samples at 4 Hz
# behind a "BST" stamp. Still logging.
model = HKV-4070
firmware = 5.20
serial = 4411
baud = 19200
default_baud = 19200
channels = T:01 P:02
latency_ms = 300
reading_time_ms = 200
memory_type = 2

# Word 0: words 3, 5, 8 and 13 follow; averaging, battery voltage,
# real-time output, start characteristic, waves and 1/2/4 Hz sampling.
capability.0 = 0x00035CB4
capability.3 = 48
capability.5 = 3
capability.8 = 1            # channels follow from the model: T and P
capability.13 = 0xC000E100  # default 19200 baud, express 57600
battery = 0xA8
tables = 03

calibration = history
calibration_records = 2

status = 2
start = 2026-11-30 00:00:00
end = 2027-01-31 00:00:00
period = 00:10:00
records = 432
clock = data
stamps = time
time_stamp_every = 144
averaging = 240
burst_rate = 4
burst_length = 512
burst_period = 01:00:00
logger_height = 1.25
wave_height = 0.8
wave_period = 7.5
erase_ms = 3000

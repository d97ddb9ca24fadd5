# A logger with range switching: autoranging turbidity (listed 'Y', range
# mode 6: 'y') and fluorometer (listed 'F', range mode 5: 'f') channels,
# whose words carry the gain code in bits 1-2.
model = QZ-750
firmware = 6.20
serial = 3307
baud = 19200
default_baud = 19200
channels = T:01 P:02 Y:03 F:04
latency_ms = 300
reading_time_ms = 1300
memory_type = 3

capability.0 = 0x0008FCFD
capability.1 = 3
capability.3 = 48
capability.5 = 3
capability.7 = 1
capability.8 = 0x15         # RS commands, range switching, RS advanced table
capability.13 = 0xC001C200
capability.20 = 1
min_software = 5.00
tables = 01 03 04 05 07
extended_caps = 03 FF FF FD FD
range_switching = 03 FF FF E6 E5

calibration = history
calibration_records = 2

status = 4
start = 2026-09-01 00:00:00
end = 2026-09-04 00:00:00
period = 00:00:30
records = 8640
clock = data
stamps = all
time_stamp_every = 2880
averaging = 1
erase_ms = 3000

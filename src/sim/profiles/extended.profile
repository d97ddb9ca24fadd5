# An extended logger (firmware 5.00 and later, capability words and tables):
# a QZ-740 with conductivity, temperature and pressure, three days into a
# deployment at a 10-second period and still logging.
model = QZ-740
firmware = 6.51
serial = 1234
baud = 19200
default_baud = 19200
channels = C:01 T:02 P:03
latency_ms = 300
reading_time_ms = 200
memory_type = 3

# Word 0: words 1, 3, 5, 7, 8, 13 and 20 follow; hysteresis, averaging,
# battery voltage, real-time output, minimum software version, start
# characteristic and start option byte.
capability.0 = 0x0008FCFD
capability.1 = 3            # 8 Meg memory
capability.3 = 48           # parameter block (image header) of 48 bytes
capability.5 = 0x43         # may be suspended and resumed; live readings while logging
capability.7 = 3            # conventional and power-save thresholding
capability.8 = 0x11         # RS commands, RS advanced table
capability.13 = 0xC001C200  # default 19200 baud, express 115200
capability.20 = 1           # engineering units output
min_software = 5.00
battery = 0xB4
tables = 01 03 07
rs_advanced = 0x04

calibration = history
calibration_records = 3
history_capacity = 16

status = 2
start = 2026-11-30 00:00:00
end = 2027-03-01 00:00:00
period = 00:00:10
records = 25920
clock = data
stamps = all
time_stamp_every = 8640
averaging = 60
erase_ms = 3000

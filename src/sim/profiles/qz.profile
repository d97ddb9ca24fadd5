# An older QZ logger (firmware 4.x): capability words from firmware 4.25,
# configuration read from memory, calibration records appended to flash.
# Its deployment of three days at one minute is complete.
model = QZ-740
firmware = 4.30
serial = 2210
baud = 9600
default_baud = 9600
channels = T:01 P:02
latency_ms = 300
reading_time_ms = 200
memory_type = 2

# Word 0: words 1, 3, 5, 7 and 13 follow; averaging and battery voltage.
capability.0 = 0x00001475
capability.1 = 2            # 4 Meg memory
capability.3 = 30           # parameter block of 30 bytes
capability.5 = 3
capability.7 = 1
capability.13 = 0x6000E100  # default 9600 baud, express 57600
battery = 0x9C

calibration = flash
calibration_records = 3

status = 4
start = 2026-10-01 00:00:00
end = 2026-10-04 00:00:00
period = 00:01:00
records = 4320
clock = data
stamps = all
time_stamp_every = 1440
averaging = 1
erase_ms = 1500

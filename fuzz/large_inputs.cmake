# Regression inputs too large to keep in the tree, written into the build
# folder's fuzz/large_inputs/<target>/ when the build is configured: deep and
# wide JSON that exhausted the web module's memory, a setup at the size limit,
# rows, headers and settings files far longer than usual, and a date as long
# as a row.
set(large_inputs ${CMAKE_CURRENT_BINARY_DIR}/large_inputs)
set(setup_head "{\"format\":\"capacimo-setup\",\"version\":1,\"model\":\"Scribent S\"")
string(REPEAT "[" 150000 deep)
string(REPEAT "0," 499999 zeros)
set(zeros "[${zeros}0]")
# A setup of exactly 1 MiB, the largest that is read, filled up by its name.
set(limit_head "${setup_head},\"name\":\"")
string(LENGTH "${limit_head}\"}" limit_frame)
math(EXPR name_length "1024 * 1024 - ${limit_frame}")
string(REPEAT "n" ${name_length} long_name)

file(WRITE ${large_inputs}/setup/nested_lists "${deep}")
file(WRITE ${large_inputs}/setup/nested_groups "${setup_head},\"groups\":${deep}")
file(WRITE ${large_inputs}/setup/zeros "${zeros}")
file(WRITE ${large_inputs}/setup/groups_of_zeros "${setup_head},\"groups\":${zeros}}")
file(WRITE ${large_inputs}/setup/name_at_the_limit "${limit_head}${long_name}\"}")

# The same texts as the page hands them to the module.
file(WRITE ${large_inputs}/web/read_nested_lists "readSetup\n${deep}")
file(WRITE ${large_inputs}/web/calculate_nested_groups "calculate\n${setup_head},\"groups\":${deep}")
file(WRITE ${large_inputs}/web/read_zeros "readSetup\n${zeros}")
file(WRITE ${large_inputs}/web/values_of_zeros "calculateValues\n${zeros}")
file(WRITE ${large_inputs}/web/store_of_nested_lists "fromStore\n${deep}")
file(WRITE ${large_inputs}/web/read_name_at_the_limit "readSetup\n${limit_head}${long_name}\"}")
# The setup's name as the page's field may hold it, of 1 MiB.
set(default_values "[0,0,0,0,0,1,0,0,0,0,0,0,0,0,0,11,1,0,10,0,0,10,0,0,10,0,0,10,0,0,10,0,0,10,0,0,10,0,0,10,0,0,10,0,0]")
string(REPEAT "n" 1048576 mebibyte_name)
string(ASCII 30 separator)  # between arguments (fuzz/web_calls.h)
file(WRITE ${large_inputs}/web/setup_text_of_a_long_name "setupText\n${default_values}${separator}${mebibyte_name}")

# A row of 200,000 empty fields, and a header longer than a row may be.
string(REPEAT "," 200000 commas)
string(REPEAT "name," 20000 names)
file(WRITE ${large_inputs}/plant/long_row "name,analog\nA${commas}\nB,2\n")
file(WRITE ${large_inputs}/plant/long_header "${names}analog\nA,1\n")

# A settings file of 40,000 lines repeating one value, and one of as many sections.
string(REPEAT "Settings\\Channels\\CountAnalog=7\n" 40000 repeated)
string(REPEAT "[ScribentS\\Settings]\nCFSize=2\n" 40000 sections)
file(WRITE ${large_inputs}/settings/repeated_value "[ScribentS]\n${repeated}")
file(WRITE ${large_inputs}/settings/many_sections "${sections}")

# A date and a target as long as a plant's row may be.
string(REPEAT "2026-03-14" 6553 long_date)
file(WRITE ${large_inputs}/dates/long_date "${long_date}")
string(REPEAT "9" 65536 long_target)
file(WRITE ${large_inputs}/dates/long_target "${long_target}w")

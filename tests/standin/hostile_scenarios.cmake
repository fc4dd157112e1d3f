# Hostile and mistaken scenarios: each must end with its documented exit
# status and exactly its message, and leave no file behind when refused.
#
#   cmake -DHOST=trivu-host [-DEMULATOR=wine-run] -DGROUP=NAME -DWORK=DIR -P hostile_scenarios.cmake
#
# The groups: numbers, nesting, keys, records, files, output, messages.
cmake_minimum_required(VERSION 3.25)

foreach(var HOST GROUP WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "hostile_scenarios.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(faults "")

# expect(NAME SCENARIO_TEXT STATUS n STDERR text [STDOUT text | NO_STDOUT]
#        [ARGS word...] [OUTPUT_FILE path] [INPUT_FILE path] [NO_FILE path...]
#        [FILE path...])
# An empty STDERR wants nothing on standard error; STDOUT is checked only
# when it is given and not empty, NO_STDOUT wants nothing there. FILE names
# files the run must leave, NO_FILE files it must not.
# writes NAME.json (unless SCENARIO_TEXT is empty) and runs `run NAME.json`,
# or `ARGS` when given, in a fresh folder WORK/NAME.
function(expect name text)
  cmake_parse_arguments(PARSE_ARGV 2 E "NO_STDOUT" "STATUS;STDERR;STDOUT;OUTPUT_FILE;INPUT_FILE" "ARGS;NO_FILE;FILE")
  set(dir ${WORK}/${name})
  file(MAKE_DIRECTORY ${dir})
  if(NOT text STREQUAL "")
    file(WRITE ${dir}/${name}.json "${text}")
  endif()
  if(NOT DEFINED E_ARGS)
    set(E_ARGS run ${name}.json)
  endif()
  set(redirect "")
  if(DEFINED E_OUTPUT_FILE)
    list(APPEND redirect OUTPUT_FILE ${E_OUTPUT_FILE})
  else()
    list(APPEND redirect OUTPUT_VARIABLE out)
  endif()
  if(DEFINED E_INPUT_FILE)
    list(APPEND redirect INPUT_FILE ${E_INPUT_FILE})
  endif()
  execute_process(COMMAND ${EMULATOR} ${HOST} ${E_ARGS} WORKING_DIRECTORY ${dir}
    ${redirect} ERROR_VARIABLE err RESULT_VARIABLE status)
  set(wrong "")
  if(NOT "${status}" STREQUAL "${E_STATUS}")
    string(APPEND wrong "  exit status ${status}, expected ${E_STATUS}\n")
  endif()
  if(NOT "${err}" STREQUAL "${E_STDERR}")
    string(APPEND wrong "  standard error:\n    got      [${err}]\n    expected [${E_STDERR}]\n")
  endif()
  if(DEFINED E_STDOUT AND NOT "${out}" STREQUAL "${E_STDOUT}")
    string(APPEND wrong "  standard output:\n    got      [${out}]\n    expected [${E_STDOUT}]\n")
  endif()
  if(E_NO_STDOUT AND NOT "${out}" STREQUAL "")
    string(APPEND wrong "  standard output:\n    got      [${out}]\n    expected nothing\n")
  endif()
  foreach(left IN LISTS E_NO_FILE)
    if(EXISTS ${dir}/${left})
      string(APPEND wrong "  ${left} was written although the scenario was refused\n")
    endif()
  endforeach()
  foreach(written IN LISTS E_FILE)
    if(NOT EXISTS ${dir}/${written} OR IS_DIRECTORY ${dir}/${written})
      string(APPEND wrong "  ${written} was not written\n")
    endif()
  endforeach()
  if(wrong)
    set(faults "${faults}${name}:\n${wrong}" PARENT_SCOPE)
  endif()
endfunction()

set(empty_run "{\"frames\": []}")

if(GROUP STREQUAL "numbers")
  # A literal beyond a double, anywhere in the file, is named by its path.
  expect(overflow_in_a_comment "{\"comment\": 1e999, \"frames\": []}"
    STATUS 2 STDERR "comment: 1e999 is beyond the range of a number\n")
  expect(negative_overflow_in_an_expression
    "{\"frames\": [{\"ticks\": 1, \"events\": [{\"then\": [{\"log\": -1e999}]}]}]}"
    STATUS 2 STDERR "frames[0].events[0].then[0].log: -1e999 is beyond the range of a number\n")
  string(REPEAT "0" 400 zeros)
  expect(four_hundred_digits "{\"frames\": [], \"comment\": [0, 1${zeros}]}"
    STATUS 2 STDERR "comment[1]: 100000000000000000000000... (401 characters) is beyond the range of a number\n")
  # Past 2^63 - 1 an integer is too large, not "below the least allowed".
  expect(ticks_of_two_to_the_63 "{\"frames\": [{\"ticks\": 9223372036854775808}]}"
    STATUS 2 STDERR "frames[0].ticks: 9223372036854775808 is too large\n")
  expect(ticks_of_two_to_the_64_minus_1 "{\"frames\": [{\"ticks\": 18446744073709551615}]}"
    STATUS 2 STDERR "frames[0].ticks: 18446744073709551615 is too large\n")

elseif(GROUP STREQUAL "nesting")
  # 90,000 levels as the value of a key that another key follows: refused at
  # the documented depth, not a stack overflow.
  string(REPEAT "[" 90000 open)
  string(REPEAT "]" 90000 close)
  string(REPEAT "[0]" 20 deep_path)
  string(SUBSTRING "a${deep_path}" 0 60 shown)
  expect(ninety_thousand_levels "{\"a\": ${open}${close}, \"frames\": []}"
    STATUS 2 STDERR "${shown}...: nests deeper than 256 levels\n")
  # The scenario object is level 1: 255 arrays inside it are the most.
  string(REPEAT "[" 255 open)
  string(REPEAT "]" 255 close)
  expect(deepest_allowed "{\"comment\": ${open}${close}, \"frames\": []}" STATUS 0 STDERR "")
  string(REPEAT "[" 256 open)
  string(REPEAT "]" 256 close)
  string(REPEAT "[0]" 255 deep_path)
  string(SUBSTRING "comment${deep_path}" 0 60 shown)
  expect(one_level_too_deep "{\"comment\": ${open}${close}, \"frames\": []}"
    STATUS 2 STDERR "${shown}...: nests deeper than 256 levels\n")

elseif(GROUP STREQUAL "keys")
  # A key given twice is refused like a misspelt one, wherever it is.
  expect(top_level_twice "{\"frames\": [], \"frames\": [{\"ticks\": 1}]}"
    STATUS 2 STDERR "(scenario): key \"frames\" given twice\n")
  expect(in_a_frame "{\"frames\": [{\"ticks\": 1, \"name\": \"a\", \"ticks\": 2}]}"
    STATUS 2 STDERR "frames[0]: key \"ticks\" given twice\n")
  expect(in_a_files_map "{\"files\": {\"a.txt\": \"1\", \"a.txt\": \"2\"}, \"frames\": []}"
    STATUS 2 STDERR "files: key \"a.txt\" given twice\n" NO_FILE a.txt)
  # Names are keys too: the host keeps 23 UTF-16 units of one (é is one unit,
  # the emoji two).
  expect(names_of_23_units "{\"objects\": {\"ééééééééééééééééééééééé\": {}}, \"extensions\": {\"abcdefghijklmnopqrstu😀\": {}}, \"frames\": []}"
    STATUS 0 STDERR "")
  expect(names_of_24_units "{\"objects\": {\"abcdefghijklmnopqrstuvwx\": {}}, \"extensions\": {\"abcdefghijklmnopqrstuv😀\": {}}, \"frames\": []}"
    STATUS 2 STDERR "extensions[\"abcdefghijklmnopqrstuv😀\"]: a name is at most 23 UTF-16 units, this one has 24 (the host keeps it in 24 units with its zero)\nobjects.abcdefghijklmnopqrstuvwx: a name is at most 23 UTF-16 units, this one has 24 (the host keeps it in 24 units with its zero)\n")

elseif(GROUP STREQUAL "records")
  # A TEXT the editor's record cannot hold: exit 1, and nothing written.
  string(REPEAT "abcdefgh" 1050000 long)
  expect(text_past_the_record_cap
    "{\"files\": {\"out.txt\": \"x\"}, \"extensions\": {\"T\": {\"text\": \"${long}\"}}, \"frames\": []}"
    STATUS 1 NO_FILE out.txt
    STDERR "extensions.T.text: the edit-time record refused the text (8400000 UTF-16 units; a record holds at most 16777216 bytes)\n")

elseif(GROUP STREQUAL "files")
  expect(a_nul_in_a_name "{\"files\": {\"a\\u0000b.txt\": \"x\"}, \"frames\": []}"
    STATUS 2 NO_FILE a
    STDERR "files[\"a\\u0000b.txt\"]: a file name cannot hold a NUL character\n")
  expect(one_file_twice "{\"files\": {\"a.txt\": \"1\", \"./a.txt\": \"2\"}, \"frames\": []}"
    STATUS 2 NO_FILE a.txt STDERR "files[\"./a.txt\"]: names the same file as files[\"a.txt\"]\n")
  expect(a_file_as_a_folder "{\"files\": {\"a\": \"1\", \"a/b\": \"2\", \"c/d\": \"3\", \"c\": \"4\"}, \"frames\": []}"
    STATUS 2 NO_FILE a c
    STDERR "files[\"a/b\"]: \"a\" cannot be a folder: files.a writes it as a file\nfiles.c: cannot be a file: files[\"c/d\"] needs it as a folder\n")
  # What only the disk can refuse is found before the first file is written.
  file(MAKE_DIRECTORY ${WORK}/onto_a_folder/taken)
  expect(onto_a_folder "{\"files\": {\"first.txt\": \"1\", \"taken\": \"2\"}, \"frames\": []}"
    STATUS 2 NO_FILE first.txt STDERR "files.taken: cannot write \"taken\": it is a directory\n")
  file(WRITE ${WORK}/below_a_file/plain "")
  expect(below_a_file "{\"files\": {\"first.txt\": \"1\", \"plain/x.txt\": \"2\"}, \"frames\": []}"
    STATUS 2 NO_FILE first.txt
    STDERR "files[\"plain/x.txt\"]: cannot write \"plain/x.txt\": \"plain\" is a file, not a directory\n")
  # A refusal elsewhere in the scenario leaves no file either.
  expect(refused_later "{\"files\": {\"first.txt\": \"1\"}, \"frames\": [{\"ticks\": 1, \"speed\": 2}]}"
    STATUS 2 NO_FILE first.txt STDERR "frames[0]: unknown key \"speed\"\n")

elseif(GROUP STREQUAL "output")
  set(log_run_frames "\"frames\": [{\"ticks\": 1, \"events\": [{\"then\": [{\"log\": 1}]}]}]")
  set(log_run "{${log_run_frames}}")
  expect(trace_to_a_full_disk "${log_run}" OUTPUT_FILE /dev/full
    STATUS 1 STDERR "trivu-host: cannot write the output: No space left on device\n")
  expect(catalogue_to_a_full_disk "" ARGS catalogue OUTPUT_FILE /dev/full
    STATUS 1 STDERR "trivu-host: cannot write the output: No space left on device\n")
  expect(help_to_a_full_disk "" ARGS --help OUTPUT_FILE /dev/full
    STATUS 1 STDERR "trivu-host: cannot write the output: No space left on device\n")
  # A drawing that cannot be written stops the run before its first frame;
  # the scenario's files, written first, may make the drawing's folder.
  expect(drawing_in_a_missing_folder "${log_run}" ARGS run drawing_in_a_missing_folder.json --svg missing/run.svg
    STATUS 1 STDERR "missing/run.svg: cannot write the drawing\n" NO_STDOUT NO_FILE missing)
  file(MAKE_DIRECTORY ${WORK}/drawing_onto_a_folder/pictures)
  expect(drawing_onto_a_folder "${log_run}" ARGS run drawing_onto_a_folder.json --svg pictures
    STATUS 1 STDERR "pictures: cannot write the drawing\n" NO_STDOUT)
  expect(drawing_in_a_folder_the_files_make
    "{\"files\": {\"pictures/notes.txt\": \"x\"}, \"frames\": [{\"ticks\": 1, \"events\": [{\"then\": [{\"log\": 1}]}]}]}"
    ARGS run drawing_in_a_folder_the_files_make.json --svg pictures/run.svg
    STATUS 0 STDERR "" STDOUT "0:- frame \"\"\n0:0 log 1\n" FILE pictures/notes.txt pictures/run.svg)
  # A full disk refuses the bytes when they leave the buffer: a drawing this
  # small only at the close, a page (larger than the buffer) at the write.
  # Neither may pass unseen. (/dev/full is Linux's.)
  if(CMAKE_HOST_LINUX AND NOT EMULATOR)
    expect(drawing_to_a_full_disk "${log_run}" ARGS run drawing_to_a_full_disk.json --svg /dev/full
      STATUS 1 STDERR "/dev/full: cannot write the drawing\n")
    expect(page_to_a_full_disk "${log_run}" ARGS run page_to_a_full_disk.json --html /dev/full
      STATUS 1 STDERR "/dev/full: cannot write the page\n")
  endif()
  expect(drawing_of_a_refused_scenario "{\"frames\": [{\"ticks\": 1, \"speed\": 2}]}"
    ARGS run drawing_of_a_refused_scenario.json --svg run.svg
    STATUS 2 STDERR "frames[0]: unknown key \"speed\"\n" NO_FILE run.svg)
  # A page that cannot be written fails the run before its first frame,
  # after the scenario's files: nothing on standard output.
  file(MAKE_DIRECTORY ${WORK}/page_onto_a_folder/page.html)
  expect(page_onto_a_folder "{\"files\": {\"first.txt\": \"1\"}, ${log_run_frames}}"
    ARGS run page_onto_a_folder.json --trace --html page.html
    STATUS 1 STDERR "page.html: cannot write the page\n" NO_STDOUT)
  expect(page_in_a_missing_folder "${log_run}" ARGS run page_in_a_missing_folder.json --html missing/page.html
    STATUS 1 STDERR "missing/page.html: cannot write the page\n" NO_STDOUT NO_FILE missing)

elseif(GROUP STREQUAL "messages")
  foreach(words "bogus" "bogus;--help")
    string(REPLACE ";" "_" name "unknown_command_${words}")
    expect(${name} "" ARGS ${words}
      STATUS 2 STDERR "trivu-host: unknown command 'bogus'\nRun 'trivu-host --help' for usage.\n")
  endforeach()
  expect(missing_scenario "" ARGS run missing.json
    STATUS 2 STDERR "missing.json: cannot read the scenario: No such file or directory\n")
  expect(scenario_is_a_directory "" ARGS run .
    STATUS 2 STDERR ".: cannot read the scenario: it is a directory\n")
  expect(syntax_error "{\"frames\": [x]}"
    STATUS 2 STDERR "syntax_error.json: not valid JSON: parse error at line 1, column 13: syntax error while parsing value - invalid literal; last read: '\"frames\": [x'\n")
  expect(condition_number_of_the_wrong_kind
    "{\"extensions\": {\"T\": {}}, \"frames\": [{\"ticks\": 1, \"events\": [{\"if\": [{\"trivu\": \"x\"}]}]}]}"
    STATUS 2 STDERR "frames[0].events[0].if[0]: the number of a condition is wanted here, not a text\n")
  file(WRITE ${WORK}/from_standard_input.json "{\"frames\": [{\"ticks\": 1, \"events\": [{\"then\": [{\"log\": 1}]}]}]}")
  expect(from_standard_input "" ARGS run - INPUT_FILE ${WORK}/from_standard_input.json
    STATUS 0 STDERR "" STDOUT "0:- frame \"\"\n0:0 log 1\n")
  file(WRITE ${WORK}/nothing.json "")
  expect(standard_input_not_json "" ARGS run - INPUT_FILE ${WORK}/nothing.json
    STATUS 2 STDERR "(standard input): not valid JSON: parse error at line 1, column 1: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal\n")

else()
  message(FATAL_ERROR "hostile_scenarios.cmake: no group '${GROUP}'")
endif()

if(faults)
  message(FATAL_ERROR "${faults}")
endif()

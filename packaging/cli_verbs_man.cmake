# Writes a help2man include file with a VERBS section: the --help of every
# verb (and sub-verb) of a CLI11 program, so that its manual page tells what
# `PROGRAM VERB --help` tells.
#   cmake -DPROGRAM=path/to/varnex-cli -DOUTPUT=verbs.h2m -P cli_verbs_man.cmake

function(verb_help words out_var)
  execute_process(COMMAND ${PROGRAM} ${words} --help
    OUTPUT_VARIABLE help RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${words} --help failed (${rc})")
  endif()
  set(${out_var} "${help}" PARENT_SCOPE)
endfunction()

# The verb names listed under "Subcommands:" in a help text.
function(verb_names help out_var)
  set(names)
  set(in_list FALSE)
  string(REPLACE "\n" ";" lines "${help}")
  foreach(line IN LISTS lines)
    if(line MATCHES "^Subcommands:")
      set(in_list TRUE)
    elseif(in_list AND line MATCHES "^  ([a-z][a-z0-9-]*)( |$)")
      list(APPEND names ${CMAKE_MATCH_1})
    elseif(in_list AND NOT line MATCHES "^ ")
      set(in_list FALSE)
    endif()
  endforeach()
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()

# Help text as literal roff lines: backslashes and leading control
# characters would otherwise be read as requests.
function(roff_literal text out_var)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

function(write_verbs words help)
  verb_names("${help}" names)
  foreach(name IN LISTS names)
    set(sub ${words} ${name})
    verb_help("${sub}" sub_help)
    roff_literal("${sub_help}" literal)
    string(REPLACE ";" " " title "${program_name} ${sub}")
    file(APPEND ${OUTPUT} ".SS \"${title}\"\n.nf\n${literal}\n.fi\n")
    write_verbs("${sub}" "${sub_help}")
  endforeach()
endfunction()

get_filename_component(program_name ${PROGRAM} NAME)
file(WRITE ${OUTPUT} "[VERBS]\n")
verb_help("" top_help)
write_verbs("" "${top_help}")

# The doc fragment that lists every setting, and the table the modules read what a
# key takes from, are printed from the tool's tables; the test fails where a committed
# one differs. The printer compiles the tables itself, with the rows' titles and hints
# that the tool is built without.
if(NOT CMAKE_CROSSCOMPILING)
    add_executable(ansible_settings_doc ${CMAKE_CURRENT_LIST_DIR}/settings_doc.cpp
        ${PROJECT_SOURCE_DIR}/settings/settings.cpp ${PROJECT_SOURCE_DIR}/image/config_block.cpp)
    target_include_directories(ansible_settings_doc PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_definitions(ansible_settings_doc PRIVATE VORNSET_ROW_TEXTS)
    target_link_libraries(ansible_settings_doc PRIVATE vornset_warnings)
    cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH collection)
    add_test(NAME ansible.settings_doc COMMAND ansible_settings_doc --check ${collection})
endif()

# The Ansible collection's tests against the vornset just built; skipped (77) where
# ansible-playbook is missing and cannot be installed. They drive the tool only through
# its command line, which the end-to-end cases already run under the sanitizers, so
# the sanitizer and fuzzing builds leave them out. ansible-test's sanity tests, the
# playbooks on 20 hosts with 10 forks and the example playbooks on 5 take a minute or
# more of both cores each: they and ansible-lint carry the label "ci", which the dev
# preset leaves to CI (ctest --preset ci). The unit tests and the integration targets
# run with the others.
if(NOT CMAKE_CROSSCOMPILING AND NOT WIN32 AND NOT VORNSET_SANITIZE AND NOT VORNSET_FUZZ)
    add_test(NAME ansible.collection COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-ansible $<TARGET_FILE:vornset>)
    add_test(NAME ansible.integration
        COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-ansible --integration $<TARGET_FILE:vornset>)
    add_test(NAME ansible.sanity COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-ansible --sanity $<TARGET_FILE:vornset>)
    add_test(NAME ansible.fleet COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-ansible --fleet $<TARGET_FILE:vornset>)
    add_test(NAME ansible.lint COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-ansible --lint $<TARGET_FILE:vornset>)
    add_test(NAME ansible.examples COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-ansible --examples $<TARGET_FILE:vornset>)
    set_tests_properties(ansible.collection ansible.integration ansible.sanity ansible.fleet ansible.lint
        ansible.examples PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
    set_tests_properties(ansible.sanity ansible.fleet ansible.examples PROPERTIES PROCESSORS 2 LABELS ci)
    set_tests_properties(ansible.lint PROPERTIES LABELS ci)
endif()
